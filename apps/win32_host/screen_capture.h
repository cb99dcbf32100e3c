// Screenshots of a window as the screen shows it, saved as 24-bit BMP.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace rillmark::testhost {

// 24-bit pixels, rows bottom-up and padded to four bytes, as a BMP file
// stores them.
struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> bits;

  bool empty() const { return bits.empty(); }
  int stride() const { return (width * 3 + 3) & ~3; }
};

// The window's whole rectangle (frame included) as it is on the screen;
// empty when it could not be read.
Screenshot captureWindow(HWND window);
bool saveBmp(const Screenshot& shot, const std::string& path);

// captureWindow and saveBmp in one.
bool capturePanel(HWND window, const std::string& path);

}  // namespace rillmark::testhost
