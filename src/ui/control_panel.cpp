#include "ui/control_panel.h"

namespace rillmark {

TForm1::TForm1(void* parentWindow) : TtsxForm(parentWindow) {
  setName("Form1");
  setCaption("Rillmark");
  setBorderStyle(ui::BorderStyle::ToolWindow);
  setPosition({190, 102});
  setClientSize({180, 363});
  onClose = [this](ui::Form& sender, ui::CloseAction& action) { FormClose(sender, action); };
}

// The plug-in host may destroy the panel on unload; the variable must not
// keep pointing at it, or a later click would show a dead window.
TForm1::~TForm1() {
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::FormClose(ui::Form&, ui::CloseAction& action) {
  action = ui::CloseAction::Free;
  Form1 = nullptr;
}

}  // namespace rillmark
