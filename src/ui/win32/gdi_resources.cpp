#include "ui/win32/gdi_resources.h"

#include <map>
#include <string>
#include <tuple>

namespace rillmark::ui::win32 {

namespace {

// Glyph backgrounds are painted in this colour and left out when drawn.
constexpr COLORREF kKeyColour = RGB(255, 0, 255);

using FontKey = std::tuple<std::string, int, bool, bool, bool>;

std::map<FontKey, HFONT>& fonts() {
  static std::map<FontKey, HFONT> cache;
  return cache;
}

std::map<COLORREF, HBRUSH>& brushes() {
  static std::map<COLORREF, HBRUSH> cache;
  return cache;
}

std::map<std::string, HBITMAP>& bitmaps() {
  static std::map<std::string, HBITMAP> cache;
  return cache;
}

}  // namespace

HINSTANCE thisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&thisModule), &module);
  return module;
}

COLORREF colorRef(Color color) { return RGB(color.r, color.g, color.b); }

HFONT fontFor(const Font& font) {
  const FontKey key{font.name, font.height, font.bold, font.italic, font.underline};
  auto& cache = fonts();
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  LOGFONTA lf{};
  lf.lfHeight = -font.height;  // negative: the characters' own height
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfUnderline = font.underline ? TRUE : FALSE;
  lf.lfCharSet = font.name == "Marlett" ? SYMBOL_CHARSET : DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, font.name.c_str(), LF_FACESIZE);
  HFONT made = CreateFontIndirectA(&lf);
  if (made == nullptr) made = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  cache[key] = made;
  return made;
}

HBRUSH brushFor(Color color) {
  const COLORREF ref = colorRef(color);
  auto& cache = brushes();
  if (auto it = cache.find(ref); it != cache.end()) return it->second;
  HBRUSH made = CreateSolidBrush(ref);
  cache[ref] = made;
  return made;
}

HBITMAP bitmapFor(const Picture& picture) {
  if (!picture) return nullptr;
  auto& cache = bitmaps();
  if (auto it = cache.find(picture.resourceName); it != cache.end()) return it->second;
  auto* made = static_cast<HBITMAP>(
      LoadImageA(thisModule(), picture.resourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  cache[picture.resourceName] = made;
  return made;
}

void drawPicture(HDC dc, int x, int y, const Picture& picture) {
  HBITMAP bitmap = bitmapFor(picture);
  if (bitmap == nullptr) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap);
  const int w = picture.size.width, h = picture.size.height;
  if (picture.transparent) {
    TransparentBlt(dc, x, y, w, h, source, 0, 0, w, h, kKeyColour);
  } else {
    BitBlt(dc, x, y, w, h, source, 0, 0, SRCCOPY);
  }
  SelectObject(source, old);
  DeleteDC(source);
}

void drawBevel(HDC dc, RECT area, Bevel bevel) {
  switch (bevel) {
    case Bevel::None:
      return;
    case Bevel::Raised:
      DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
      return;
    case Bevel::Lowered:
      DrawEdge(dc, &area, BDR_SUNKENINNER, BF_RECT);
      return;
  }
}

void drawTextLine(HDC dc, RECT area, const char* text, const Font& font, TextAlign align, bool enabled) {
  HGDIOBJ oldFont = SelectObject(dc, fontFor(font));
  SetBkMode(dc, TRANSPARENT);
  UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  format |= align == TextAlign::Center ? DT_CENTER : align == TextAlign::Right ? DT_RIGHT : DT_LEFT;
  if (enabled) {
    SetTextColor(dc, font.color ? colorRef(*font.color) : GetSysColor(COLOR_BTNTEXT));
    DrawTextA(dc, text, -1, &area, format);
  } else {
    // Disabled text: grey with a white highlight, as the system draws it.
    RECT shadow = area;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextA(dc, text, -1, &shadow, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text, -1, &area, format);
  }
  SelectObject(dc, oldFont);
}

void releaseGdiResources() {
  for (auto& [key, font] : fonts()) DeleteObject(font);
  fonts().clear();
  for (auto& [key, brush] : brushes()) DeleteObject(brush);
  brushes().clear();
  for (auto& [key, bitmap] : bitmaps())
    if (bitmap != nullptr) DeleteObject(bitmap);
  bitmaps().clear();
}

}  // namespace rillmark::ui::win32
