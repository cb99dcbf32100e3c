#include "screen_capture.h"

#include <cstdio>

namespace rillmark::testhost {

Screenshot captureWindow(HWND window) {
  Screenshot shot;
  RECT r{};
  if (!GetWindowRect(window, &r)) return shot;
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return shot;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;  // bottom-up, as the file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
    if (copied) {
      shot.width = w;
      shot.height = h;
      const auto* first = static_cast<const unsigned char*>(bits);
      shot.bits.assign(first, first + static_cast<std::size_t>(shot.stride()) * h);
    }
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

bool saveBmp(const Screenshot& shot, const std::string& path) {
  if (shot.empty()) return false;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = shot.width;
  header.biHeight = shot.height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(shot.bits.size());
  FILE* out = std::fopen(path.c_str(), "wb");
  bool ok = out != nullptr && std::fwrite(&file, sizeof file, 1, out) == 1 &&
            std::fwrite(&header, sizeof header, 1, out) == 1 &&
            std::fwrite(shot.bits.data(), shot.bits.size(), 1, out) == 1;
  if (out != nullptr) ok = std::fclose(out) == 0 && ok;
  return ok;
}

bool capturePanel(HWND window, const std::string& path) { return saveBmp(captureWindow(window), path); }

}  // namespace rillmark::testhost
