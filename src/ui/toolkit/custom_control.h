// CustomControl: a control that draws itself through paint() and keeps the
// mouse while a button is held on it. The numeric spinner is one.
#pragma once

#include "ui/toolkit/control.h"

namespace rillmark::ui {

class CustomControl : public Control {
 public:
  CustomControl() : Control(ControlKind::Custom) {}
  bool capturesMouse() const override { return true; }
};

}  // namespace rillmark::ui
