// TForm1: the control panel, the plug-in's one working window. The shell
// builds it on the user's left click on the plug-in's icon and lists it
// with the host; closing it frees it, so the next click builds a new one.
// For now it is the bare window: caption, tool-window border, its client
// size and start position.
#pragma once

#include "shell/tsx_forms.h"

namespace rillmark {

class TForm1 : public TtsxForm {
 public:
  explicit TForm1(void* parentWindow);
  ~TForm1() override;

  void FormClose(ui::Form& sender, ui::CloseAction& action);
};

// The panel's window variable: the panel while one exists, else null.
// ShowPluginForm fills it; the close handler and the destructor empty it.
inline TForm1* Form1 = nullptr;

}  // namespace rillmark
