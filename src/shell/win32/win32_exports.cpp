// The library entry point and the four exports of Rillmark.tsx. Each export
// forwards to its portable body; the catch-alls are the last line of
// defence, since nothing may unwind into the host or the loader.
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "shell/entry_points.h"
#include "shell/library_notify.h"
#include "shell/win32/runtime_on_unload.h"
#include "ui/control_panel.h"
#include "ui/win32/win32_backend.h"

namespace {

rillmark::Win32Platform& platform() {
  static rillmark::Win32Platform instance;
  return instance;
}

// Message boxes are owned by the host's main view once the panel has told
// us which window that is.
void rememberMainView() {
  if (rillmark::Form1 != nullptr) platform().setOwnerWindow(rillmark::Form1->parentWindow());
}

}  // namespace

extern "C" {

int __cdecl tsxGetData(void* description, int pluginId) {
  try {
    return rillmark::GetDataEntry(platform(), description, pluginId);
  } catch (...) {
    return -1;
  }
}

int __cdecl tsxOnLeftClick() {
  try {
    const int result = rillmark::LeftClickEntry(platform());
    rememberMainView();
    return result;
  } catch (...) {
    return -1;
  }
}

void __cdecl tsxOnRightClick() {
  try {
    rillmark::RightClickEntry(platform());
  } catch (...) {
  }
}

void __cdecl tsxDeactivate() {
  try {
    rillmark::DeactivateEntry(platform());
  } catch (...) {
  }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  try {
    switch (reason) {
      case DLL_PROCESS_ATTACH:
        rillmark::ui::win32::install();
        return rillmark::LibraryLoad(platform()) ? TRUE : FALSE;
      case DLL_PROCESS_DETACH: {
        // reserved is set when the process is ending: other threads are
        // gone, windows may be half torn down and the host library may
        // already be unloaded. Then nothing of either is touched.
        const bool processExit = reserved != nullptr;
        rillmark::LibraryNotify(platform(), rillmark::kProcessDetach, processExit);
        if (!processExit) {
          rillmark::ui::win32::uninstall();
          rillmark::win32::releaseRuntimeMemory();
        }
        return TRUE;
      }
      case DLL_THREAD_ATTACH:
        rillmark::LibraryNotify(platform(), rillmark::kThreadAttach);
        return TRUE;
      case DLL_THREAD_DETACH:
        rillmark::LibraryNotify(platform(), rillmark::kThreadDetach);
        return TRUE;
      default:
        return TRUE;
    }
  } catch (...) {
    return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
  }
}

}  // extern "C"
