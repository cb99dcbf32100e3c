// The plug-in's exports in a native shared library (libRillmark.so), so the
// whole shell runs under the sanitizers on Linux, loaded by a host program
// as the host loads Rillmark.tsx. Loading and unloading the library stand
// in for the process attach and detach of the Win32 loader.
#include <cstdint>
#include <new>

#include "platform/posix/posix_platform.h"
#include "shell/plugin_entry.h"

#define RILLMARK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Built at load and destroyed at unload by hand: a static object's
// destructor would run at an order of its own around dlclose.
alignas(rillmark::PosixPlatform) unsigned char platformStorage[sizeof(rillmark::PosixPlatform)];
rillmark::PosixPlatform* platform = nullptr;

__attribute__((constructor)) void onLoad() {
  try {
    platform = new (platformStorage) rillmark::PosixPlatform();
    rillmark::LibraryLoad(*platform);
  } catch (...) {
  }
}

__attribute__((destructor)) void onUnload() {
  if (platform == nullptr) return;
  try {
    rillmark::LibraryNotify(*platform, rillmark::kProcessDetach);
  } catch (...) {
  }
  platform->~PosixPlatform();
  platform = nullptr;
}

}  // namespace

RILLMARK_EXPORT std::int32_t tsxGetData(void* description, std::int32_t pluginId) {
  if (platform == nullptr) return -1;
  try {
    return rillmark::tsxGetDataBody(*platform, description, pluginId);
  } catch (...) {
    return -1;
  }
}

RILLMARK_EXPORT std::int32_t tsxOnLeftClick() {
  if (platform == nullptr) return -1;
  try {
    return rillmark::tsxOnLeftClickBody(*platform);
  } catch (...) {
    return -1;
  }
}

RILLMARK_EXPORT void tsxOnRightClick() {
  if (platform == nullptr) return;
  try {
    rillmark::tsxOnRightClickBody(*platform);
  } catch (...) {
  }
}

RILLMARK_EXPORT void tsxDeactivate() {
  if (platform == nullptr) return;
  try {
    rillmark::tsxDeactivateBody(*platform);
  } catch (...) {
  }
}
