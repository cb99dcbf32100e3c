// Writes rendered frames as PNG files (libpng) and as one looping animated
// GIF (giflib). Each function returns false and leaves a message in error
// when the file cannot be written.
#pragma once

#include <string>
#include <vector>

#include "height_field_image.h"

namespace demo {

bool writePng(const std::string& path, const IndexedImage& image, const Palette& palette, std::string& error);

// delayCentiseconds: time each frame stays on screen.
bool writeAnimatedGif(const std::string& path, const std::vector<IndexedImage>& frames, const Palette& palette,
                      int delayCentiseconds, std::string& error);

}  // namespace demo
