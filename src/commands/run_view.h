// What the run commands report through: everything the frame loop
// reports, and the Continue and Stop buttons Start enables. The control
// panel implements it; the headless panel and the demo implement it
// without windows.
#pragma once

#include "sim/frame_view.h"

namespace rillmark {

class RunView : public FrameView {
 public:
  // Enables Continue and Stop, which stay disabled until the first Start.
  virtual void enableContinueAndStop() = 0;
};

}  // namespace rillmark
