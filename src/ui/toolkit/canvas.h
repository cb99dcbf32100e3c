// Where a custom-drawn control paints itself. The Win32 backend draws with
// GDI into the control's window; the headless backend records the calls,
// so tests can see what a control drew.
#pragma once

#include <string>

#include "ui/toolkit/geometry.h"
#include "ui/toolkit/picture.h"
#include "ui/toolkit/style.h"

namespace rillmark::ui {

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void fillRect(Rect area, Color color) = 0;
  // One line of text, vertically centred in the area.
  virtual void drawText(Rect area, const std::string& text, const Font& font, TextAlign align) = 0;
  virtual void drawPicture(Point topLeft, const Picture& picture) = 0;
  virtual void drawBevel(Rect area, Bevel bevel) = 0;
};

}  // namespace rillmark::ui
