// Rillmark.tsx's entry points: DllMain and the four exports the host calls
// (C calling convention, undecorated names through Rillmark.def). Each is a
// few lines forwarding to its portable body; the catch-alls here are the
// last line, should a body's own boundary fail to hold.
#include <windows.h>

#include <cstdint>
#include <new>

#include "hostapi/host_calls.h"
#include "platform/win32/win32_platform.h"
#include "shell/plugin_entry.h"
#include "ui/win32/win32_form_peer.h"

namespace {

// Built at process attach and destroyed at an unloading detach by hand, so
// it outlives every notification.
alignas(rillmark::Win32Platform) unsigned char platformStorage[sizeof(rillmark::Win32Platform)];
rillmark::Win32Platform* platform = nullptr;

void* hostMainView() { return rillmark::host::tsxGetMainViewHwnd(); }

BOOL processAttach() {
  try {
    platform = new (platformStorage) rillmark::Win32Platform(hostMainView);
    return rillmark::LibraryLoad(*platform) ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

void processDetach(bool processExiting) {
  if (platform == nullptr) return;
  try {
    rillmark::LibraryNotify(*platform, rillmark::kProcessDetach, processExiting);
    if (processExiting) return;  // leave everything to the ending process
    rillmark::ui::win32::unregisterFormClasses();
  } catch (...) {
    return;
  }
  platform->~Win32Platform();
  platform = nullptr;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      return processAttach();
    case DLL_PROCESS_DETACH:
      // A non-null reserved pointer: the process is exiting, not FreeLibrary.
      processDetach(reserved != nullptr);
      return TRUE;
    case DLL_THREAD_ATTACH:
    case DLL_THREAD_DETACH:
      if (platform == nullptr) return TRUE;
      try {
        rillmark::LibraryNotify(*platform, reason == DLL_THREAD_ATTACH ? rillmark::kThreadAttach
                                                                       : rillmark::kThreadDetach);
      } catch (...) {
      }
      return TRUE;
    default:
      return TRUE;
  }
}

extern "C" std::int32_t __cdecl tsxGetData(void* description, std::int32_t pluginId) {
  if (platform == nullptr) return -1;
  try {
    return rillmark::tsxGetDataBody(*platform, description, pluginId);
  } catch (...) {
    return -1;
  }
}

extern "C" std::int32_t __cdecl tsxOnLeftClick() {
  if (platform == nullptr) return -1;
  try {
    return rillmark::tsxOnLeftClickBody(*platform);
  } catch (...) {
    return -1;
  }
}

extern "C" void __cdecl tsxOnRightClick() {
  if (platform == nullptr) return;
  try {
    rillmark::tsxOnRightClickBody(*platform);
  } catch (...) {
  }
}

extern "C" void __cdecl tsxDeactivate() {
  if (platform == nullptr) return;
  try {
    rillmark::tsxDeactivateBody(*platform);
  } catch (...) {
  }
}
