// Button: a push button with a caption, a picture, or both (picture left
// of the caption, the pair centred). A flat button shows no frame until
// pressed. While disabled it shows its greyed picture when it has one.
#pragma once

#include "ui/toolkit/control.h"
#include "ui/toolkit/picture.h"

namespace rillmark::ui {

class Button : public Control {
 public:
  Button() : Control(ControlKind::Button) { setTabStop(true); }

  const Picture& picture() const { return picture_; }
  const Picture& disabledPicture() const { return disabledPicture_; }
  void setPicture(const Picture& picture, const Picture& disabled = {}) {
    picture_ = picture;
    disabledPicture_ = disabled;
    changed(Property::Appearance);
  }
  // The picture to draw in the current state.
  const Picture& shownPicture() const {
    return !enabledInTree() && disabledPicture_ ? disabledPicture_ : picture_;
  }

  // A transparent button (Control::transparent) is drawn over its parent's
  // background with a light frame and its caption in its font's colour.
  bool flat() const { return flat_; }
  void setFlat(bool flat) {
    flat_ = flat;
    setTabStop(!flat);  // flat buttons are clicked, never tabbed to
    changed(Property::Appearance);
  }

 private:
  Picture picture_;
  Picture disabledPicture_;
  bool flat_ = false;
};

}  // namespace rillmark::ui
