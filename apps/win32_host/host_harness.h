// What the Win32 test host's checks share: the tally of checks, the
// plug-in and its four exports, a message pump like a host's, the main
// view, and the windows it owns.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace rillmark::testhost {

inline int failures = 0;

inline void check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

inline std::string quoted(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return "\"" + out + "\"";
}

inline void checkTexts(const std::vector<std::string>& got, const std::vector<std::string>& expected, const std::string& what) {
  bool same = got == expected;
  check(same, what);
  if (!same) {
    for (const auto& t : got) std::printf("  shown:    %s\n", quoted(t).c_str());
    for (const auto& t : expected) std::printf("  expected: %s\n", quoted(t).c_str());
  }
}

// GetProcAddress gives every export one type; the detour through void*
// says that the real type is known.
template <class T>
inline T proc(HMODULE module, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

using GetDataFn = int(__cdecl*)(void*, int);
using ClickFn = int(__cdecl*)();
using VoidFn = void(__cdecl*)();

struct Plugin {
  HMODULE module = nullptr;
  GetDataFn tsxGetData = nullptr;
  ClickFn tsxOnLeftClick = nullptr;
  VoidFn tsxOnRightClick = nullptr;
  VoidFn tsxDeactivate = nullptr;

  // By name from the program's folder, or from the path given.
  bool load(const char* path = "Rillmark.tsx") {
    module = LoadLibraryA(path);
    if (module == nullptr) return false;
    tsxGetData = proc<GetDataFn>(module, "tsxGetData");
    tsxOnLeftClick = proc<ClickFn>(module, "tsxOnLeftClick");
    tsxOnRightClick = proc<VoidFn>(module, "tsxOnRightClick");
    tsxDeactivate = proc<VoidFn>(module, "tsxDeactivate");
    return tsxGetData && tsxOnLeftClick && tsxOnRightClick && tsxDeactivate;
  }
};

inline void pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(5);
  } while (GetTickCount() - start < milliseconds);
}

// The host's main view: a plain window, or one whose procedure plays a
// host that does something of its own between the plug-in's messages.
inline HWND createMainView(WNDPROC procedure = DefWindowProcA, const char* className = "RillmarkTestHostView",
                           const char* title = "Test host main view") {
  WNDCLASSA wc{};
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  wc.lpszClassName = className;
  RegisterClassA(&wc);
  HWND view = CreateWindowExA(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                              nullptr, wc.hInstance, nullptr);
  pump(50);
  return view;
}

struct OwnedSearch {
  HWND owner;
  std::vector<HWND> found;
};

inline BOOL CALLBACK collectOwned(HWND window, LPARAM lParam) {
  auto* s = reinterpret_cast<OwnedSearch*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && GetWindow(window, GW_OWNER) == s->owner) s->found.push_back(window);
  return TRUE;
}

// Every top-level window of this process that the main view owns.
inline std::vector<HWND> ownedWindows(HWND owner) {
  OwnedSearch search{owner, {}};
  EnumWindows(collectOwned, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Replaces module's import of dll!name by replacement; false if it has none.
inline bool redirectImport(HMODULE module, const char* dll, const char* name, void* replacement) {
  auto* base = reinterpret_cast<unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return false;
  for (auto* imp = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name != 0; ++imp) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + imp->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
      DWORD old = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      return true;
    }
  }
  return false;
}

}  // namespace rillmark::testhost
