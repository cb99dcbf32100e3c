// Label: a line of text. It may be centred and framed as a sunken field
// (the information panel's value boxes) or drawn over its parent's
// background without one of its own.
#pragma once

#include "ui/toolkit/control.h"

namespace rillmark::ui {

class Label : public Control {
 public:
  Label() : Control(ControlKind::Label) {}

  TextAlign alignment() const { return alignment_; }
  void setAlignment(TextAlign alignment) {
    alignment_ = alignment;
    changed(Property::Appearance);
  }
  bool sunken() const { return sunken_; }
  void setSunken(bool sunken) {
    sunken_ = sunken;
    changed(Property::Appearance);
  }

 private:
  TextAlign alignment_ = TextAlign::Left;
  bool sunken_ = false;
};

}  // namespace rillmark::ui
