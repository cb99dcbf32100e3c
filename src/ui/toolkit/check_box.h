// CheckBox: a box with a caption that the user checks and clears. Where
// the state lives is up to a derived class (a parameter of the panel);
// the base keeps it itself. A click toggles the state, then runs onClick.
#pragma once

#include "ui/toolkit/control.h"

namespace rillmark::ui {

class CheckBox : public Control {
 public:
  CheckBox() : Control(ControlKind::CheckBox) { setTabStop(true); }

  virtual bool checked() const { return checked_; }
  virtual void setChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    changed(Property::Checked);
  }
  // The user clicked the box (mouse or space bar).
  void toggleByUser() {
    if (!enabledInTree()) return;
    runHandler([&] { setChecked(!checked()); });
    handleClick();
  }

 protected:
  // A derived class that keeps the state elsewhere tells the peer here.
  void checkedChanged() { changed(Property::Checked); }

 private:
  bool checked_ = false;
};

}  // namespace rillmark::ui
