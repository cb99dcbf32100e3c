// Renders a grid of water heights as a shaded picture: each pixel is an
// index into a 256-entry blue palette, lit from the upper left so that the
// rings read as relief.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace demo {

struct Rgb {
  std::uint8_t r, g, b;
};

using Palette = std::array<Rgb, 256>;

const Palette& waterPalette();

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // row by row, top row first
};

// heights[iy * nx + ix] is the height of grid vertex (ix, iy); cellSize is
// the spacing of the grid in scene units, scale the pixels per grid cell.
IndexedImage renderHeightField(const std::vector<float>& heights, int nx, int ny, float cellSize, int scale);

}  // namespace demo
