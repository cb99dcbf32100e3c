// Screenshots of a window as the screen shows it, saved as 24-bit BMP.
#pragma once

#include <windows.h>

#include <string>

namespace rillmark::testhost {

// The window's whole rectangle (frame included) as it is on the screen.
bool capturePanel(HWND window, const std::string& path);

}  // namespace rillmark::testhost
