// The plug-in's pictures, one constant each, from the catalog that the
// picture script writes beside the bitmaps it draws.
#pragma once

#include "ui/toolkit/picture.h"

namespace rillmark::pictures {

#define RILLMARK_PICTURE(id, resource, w, h, transparent) \
  inline constexpr ui::Picture id{resource, {w, h}, transparent};
#include "ui/picture_catalog.inc"
#undef RILLMARK_PICTURE

}  // namespace rillmark::pictures
