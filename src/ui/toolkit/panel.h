// Panel: a plain container with up to two bevels and an optional caption,
// used to group controls, as a status bar, and for the information panel.
#pragma once

#include "ui/toolkit/control.h"

namespace rillmark::ui {

class Panel : public Control {
 public:
  Panel() : Control(ControlKind::Panel) {}

  Bevel bevelOuter() const { return bevelOuter_; }
  Bevel bevelInner() const { return bevelInner_; }
  void setBevels(Bevel outer, Bevel inner) {
    bevelOuter_ = outer;
    bevelInner_ = inner;
    changed(Property::Appearance);
  }
  TextAlign captionAlign() const { return captionAlign_; }
  void setCaptionAlign(TextAlign align) {
    captionAlign_ = align;
    changed(Property::Appearance);
  }

 private:
  Bevel bevelOuter_ = Bevel::Raised;
  Bevel bevelInner_ = Bevel::None;
  TextAlign captionAlign_ = TextAlign::Center;
};

}  // namespace rillmark::ui
