// Image: a picture at its own size, optionally framed by a bevel.
#pragma once

#include "ui/toolkit/control.h"
#include "ui/toolkit/picture.h"

namespace rillmark::ui {

class Image : public Control {
 public:
  Image() : Control(ControlKind::Image) {}

  const Picture& picture() const { return picture_; }
  void setPicture(const Picture& picture) {
    picture_ = picture;
    changed(Property::Appearance);
  }
  Bevel frame() const { return frame_; }
  void setFrame(Bevel frame) {
    frame_ = frame;
    changed(Property::Appearance);
  }

 private:
  Picture picture_;
  Bevel frame_ = Bevel::None;
};

}  // namespace rillmark::ui
