// Edit: a one-line text box. Its text changes when the user types
// (handleTextChanged from the peer) or when the program sets it; both run
// onChange, as a native edit box does.
#pragma once

#include <optional>
#include <string>

#include "ui/toolkit/control.h"

namespace rillmark::ui {

class Edit : public Control {
 public:
  Edit() : Control(ControlKind::Edit) { setTabStop(true); }

  const std::string& text() const { return text_; }
  // An equal text changes nothing and runs no event.
  void setText(const std::string& text);
  void selectAll() {
    if (peer()) peer()->selectAllText();
  }

  // The peer reports what the user typed.
  void handleTextChanged(const std::string& text);

 private:
  std::string text_;
};

}  // namespace rillmark::ui
