// The GDI objects the plug-in has made and not deleted, counted through
// its own imports of the GDI functions that make and delete them: Wine
// reports no GDI object count of its own (GetGuiResources answers 0).
// Used by the load cycles and the soak, on the thread the plug-in draws on.
#pragma once

#include <windows.h>

#include <cstddef>

namespace rillmark::testhost {

// Redirects the plug-in's imports of those functions; a failed check if
// one is missing.
void countGdiObjectsOf(HMODULE plugin);
std::size_t pluginGdiObjects();
void forgetPluginGdiObjects();

}  // namespace rillmark::testhost
