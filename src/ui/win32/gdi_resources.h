// The GDI objects the Win32 backend draws with: fonts made from the widget
// model's font descriptions, solid brushes, and the plug-in's pictures
// loaded from its own resources. Each is made once and kept until the
// backend is uninstalled, so painting never creates objects.
#pragma once

#include <windows.h>

#include "ui/toolkit/picture.h"
#include "ui/toolkit/style.h"

namespace rillmark::ui::win32 {

// The module this code lives in: the plug-in DLL, not the host program.
HINSTANCE thisModule();

HFONT fontFor(const Font& font);
HBRUSH brushFor(Color color);
HBITMAP bitmapFor(const Picture& picture);
COLORREF colorRef(Color color);

// Draws a picture at its own size; glyphs leave out their key colour.
void drawPicture(HDC dc, int x, int y, const Picture& picture);
// One-pixel bevels as the widget model describes them.
void drawBevel(HDC dc, RECT area, Bevel bevel);
// One line of text in the area, vertically centred.
void drawTextLine(HDC dc, RECT area, const char* text, const Font& font, TextAlign align, bool enabled = true);

// Deletes every cached object.
void releaseGdiResources();

}  // namespace rillmark::ui::win32
