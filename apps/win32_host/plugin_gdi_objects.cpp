#include "plugin_gdi_objects.h"

#include <set>

#include "host_harness.h"

namespace rillmark::testhost {

namespace {

std::set<HGDIOBJ> alive;

template <class Object>
Object made(Object object) {
  if (object != nullptr) alive.insert(object);
  return object;
}

HFONT WINAPI countedCreateFontIndirectA(const LOGFONTA* font) { return made(CreateFontIndirectA(font)); }
HBRUSH WINAPI countedCreateSolidBrush(COLORREF colour) { return made(CreateSolidBrush(colour)); }
HDC WINAPI countedCreateCompatibleDC(HDC dc) { return made(CreateCompatibleDC(dc)); }
HBITMAP WINAPI countedCreateCompatibleBitmap(HDC dc, int width, int height) {
  return made(CreateCompatibleBitmap(dc, width, height));
}
HANDLE WINAPI countedLoadImageA(HINSTANCE module, LPCSTR name, UINT type, int width, int height, UINT flags) {
  HANDLE image = LoadImageA(module, name, type, width, height, flags);
  return type == IMAGE_BITMAP ? made(image) : image;
}
BOOL WINAPI countedDeleteObject(HGDIOBJ object) {
  alive.erase(object);
  return DeleteObject(object);
}
BOOL WINAPI countedDeleteDC(HDC dc) {
  alive.erase(dc);
  return DeleteDC(dc);
}

}  // namespace

void countGdiObjectsOf(HMODULE plugin) {
  const struct {
    const char* dll;
    const char* name;
    void* counted;
  } imports[] = {
      {"GDI32.dll", "CreateFontIndirectA", reinterpret_cast<void*>(&countedCreateFontIndirectA)},
      {"GDI32.dll", "CreateSolidBrush", reinterpret_cast<void*>(&countedCreateSolidBrush)},
      {"GDI32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(&countedCreateCompatibleDC)},
      {"GDI32.dll", "CreateCompatibleBitmap", reinterpret_cast<void*>(&countedCreateCompatibleBitmap)},
      {"GDI32.dll", "DeleteObject", reinterpret_cast<void*>(&countedDeleteObject)},
      {"GDI32.dll", "DeleteDC", reinterpret_cast<void*>(&countedDeleteDC)},
      {"USER32.dll", "LoadImageA", reinterpret_cast<void*>(&countedLoadImageA)},
  };
  bool all = true;
  for (const auto& i : imports) all = redirectImport(plugin, i.dll, i.name, i.counted) && all;
  check(all, "the plug-in's GDI imports are counted");
}

std::size_t pluginGdiObjects() { return alive.size(); }

void forgetPluginGdiObjects() { alive.clear(); }

}  // namespace rillmark::testhost
