#include "height_field_image.h"

#include <algorithm>
#include <cmath>

namespace demo {

const Palette& waterPalette() {
  static const Palette palette = [] {
    Palette p{};
    for (int i = 0; i < 256; ++i) {
      const float s = static_cast<float>(i) / 255.0f;
      // Deep blue in the shadows through turquoise to foam white on the crests.
      p[i] = {static_cast<std::uint8_t>(std::clamp(20.0f + 235.0f * s * s, 0.0f, 255.0f)),
              static_cast<std::uint8_t>(std::clamp(40.0f + 215.0f * s, 0.0f, 255.0f)),
              static_cast<std::uint8_t>(std::clamp(90.0f + 165.0f * std::sqrt(s), 0.0f, 255.0f))};
    }
    return p;
  }();
  return palette;
}

namespace {

// Diffuse light on the surface normal; the relief is exaggerated because the
// waves are small against the grid.
std::vector<float> shade(const std::vector<float>& z, int nx, int ny, float cellSize) {
  constexpr float kRelief = 6.0f;
  const float lx = -0.5f, ly = 0.5f, lz = 0.7f;
  const float lightLength = std::sqrt(lx * lx + ly * ly + lz * lz);
  std::vector<float> light(z.size());
  auto at = [&](int ix, int iy) {
    ix = std::clamp(ix, 0, nx - 1);
    iy = std::clamp(iy, 0, ny - 1);
    return z[static_cast<std::size_t>(iy) * nx + ix];
  };
  for (int iy = 0; iy < ny; ++iy) {
    for (int ix = 0; ix < nx; ++ix) {
      const float dzdx = (at(ix + 1, iy) - at(ix - 1, iy)) / (2 * cellSize) * kRelief;
      const float dzdy = (at(ix, iy + 1) - at(ix, iy - 1)) / (2 * cellSize) * kRelief;
      const float nLength = std::sqrt(dzdx * dzdx + dzdy * dzdy + 1);
      const float diffuse = (-dzdx * lx - dzdy * ly + lz) / (nLength * lightLength);
      float value = 0.15f + 0.85f * std::max(0.0f, diffuse);
      if (!std::isfinite(value)) value = 0;
      light[static_cast<std::size_t>(iy) * nx + ix] = value;
    }
  }
  return light;
}

}  // namespace

IndexedImage renderHeightField(const std::vector<float>& heights, int nx, int ny, float cellSize, int scale) {
  IndexedImage image;
  if (nx < 2 || ny < 2 || heights.size() < static_cast<std::size_t>(nx) * ny || scale < 1) return image;
  const std::vector<float> light = shade(heights, nx, ny, cellSize);
  image.width = (nx - 1) * scale + 1;
  image.height = (ny - 1) * scale + 1;
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  for (int py = 0; py < image.height; ++py) {
    // Top row of the picture is the far (+y) edge of the water.
    const float gy = static_cast<float>(image.height - 1 - py) / scale;
    const int y0 = std::min(static_cast<int>(gy), ny - 2);
    const float fy = gy - y0;
    for (int px = 0; px < image.width; ++px) {
      const float gx = static_cast<float>(px) / scale;
      const int x0 = std::min(static_cast<int>(gx), nx - 2);
      const float fx = gx - x0;
      auto l = [&](int ix, int iy) { return light[static_cast<std::size_t>(iy) * nx + ix]; };
      const float value = (l(x0, y0) * (1 - fx) + l(x0 + 1, y0) * fx) * (1 - fy) +
                          (l(x0, y0 + 1) * (1 - fx) + l(x0 + 1, y0 + 1) * fx) * fy;
      image.pixels[static_cast<std::size_t>(py) * image.width + px] =
          static_cast<std::uint8_t>(std::clamp(value * 255.0f, 0.0f, 255.0f));
    }
  }
  return image;
}

}  // namespace demo
