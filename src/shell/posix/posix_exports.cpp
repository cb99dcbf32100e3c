// The four exports of the native plug-in library (libRillmark.so), for
// host programs on Linux: the same bodies as Rillmark.tsx over the POSIX
// platform and the headless windows. Loading runs the library's
// initialisation; unloading (dlclose, or the end of the process: the two
// cannot be told apart here) the process detach.
#include "platform/posix/posix_platform.h"
#include "shell/entry_points.h"
#include "shell/library_notify.h"
#include "ui/headless/headless_backend.h"

#define RILLMARK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Made at load and deleted after the detach, so no static destructor can
// run before the detach still needs it. Null if the load failed; the
// exports then answer as after an error.
rillmark::PosixPlatform* platformInstance = nullptr;

rillmark::PosixPlatform& platform() { return *platformInstance; }

__attribute__((constructor)) void libraryLoaded() {
  try {
    platformInstance = new rillmark::PosixPlatform();
    rillmark::ui::headless::install();
    rillmark::LibraryLoad(platform());
  } catch (...) {
  }
}

__attribute__((destructor)) void libraryUnloaded() {
  if (platformInstance == nullptr) return;
  try {
    rillmark::LibraryNotify(platform(), rillmark::kProcessDetach);
  } catch (...) {
  }
  delete platformInstance;
  platformInstance = nullptr;
}

}  // namespace

RILLMARK_EXPORT int tsxGetData(void* description, int pluginId) {
  if (platformInstance == nullptr) return -1;
  try {
    return rillmark::GetDataEntry(platform(), description, pluginId);
  } catch (...) {
    return -1;
  }
}

RILLMARK_EXPORT int tsxOnLeftClick() {
  if (platformInstance == nullptr) return -1;
  try {
    return rillmark::LeftClickEntry(platform());
  } catch (...) {
    return -1;
  }
}

RILLMARK_EXPORT void tsxOnRightClick() {
  if (platformInstance == nullptr) return;
  try {
    rillmark::RightClickEntry(platform());
  } catch (...) {
  }
}

RILLMARK_EXPORT void tsxDeactivate() {
  if (platformInstance == nullptr) return;
  try {
    rillmark::DeactivateEntry(platform());
  } catch (...) {
  }
}
