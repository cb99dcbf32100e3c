// The window system the widget model is realised on. Exactly one backend
// is installed by the composition root: ui/win32 makes real windows,
// ui/headless keeps their state for tests and the demo.
#pragma once

#include <memory>

#include "ui/toolkit/control.h"

namespace rillmark::ui {

class Form;
class FormPeer;
struct CreateParams;

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::unique_ptr<FormPeer> createFormPeer(Form& form, const CreateParams& params) = 0;
  // The peer of a control whose parent's window already exists.
  virtual std::unique_ptr<ControlPeer> createControlPeer(Control& control) = 0;
  // Handles every pending message of the user-interface thread, as the
  // host's own loop would: a long operation calls this to stay responsive.
  virtual void processMessages() = 0;
  // The size of the screen, for windows placed at its centre.
  virtual Size screenSize() = 0;
};

void setBackend(Backend* backend);
Backend* backend();

}  // namespace rillmark::ui
