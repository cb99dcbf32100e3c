// A picture of the plug-in: a plain bitmap compiled into Rillmark.tsx as a
// resource, known to the widget model by its resource name and size. The
// Win32 backend loads and draws it; the headless backend needs only the
// size. Glyph pictures keep their key-colour background out when drawn.
#pragma once

#include <cstring>

#include "ui/toolkit/geometry.h"

namespace rillmark::ui {

struct Picture {
  const char* resourceName = nullptr;  // null: no picture
  Size size;
  bool transparent = false;  // background in the key colour, left out when drawn

  explicit operator bool() const { return resourceName != nullptr; }
  // By name: the same literal may sit at different addresses in different
  // modules.
  friend bool operator==(const Picture& a, const Picture& b) {
    if (a.resourceName == nullptr || b.resourceName == nullptr) return a.resourceName == b.resourceName;
    return std::strcmp(a.resourceName, b.resourceName) == 0;
  }
};

}  // namespace rillmark::ui
