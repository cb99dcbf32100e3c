// Pixel geometry of the widget model: points, sizes and rectangles in the
// coordinates of a control's parent (or of the screen, where a name says so).
#pragma once

namespace rillmark::ui {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  int right() const { return x + width; }
  int bottom() const { return y + height; }
  bool contains(Point p) const { return p.x >= x && p.x < right() && p.y >= y && p.y < bottom(); }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace rillmark::ui
