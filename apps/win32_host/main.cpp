// rillmark_win32_host: a host program that meets Rillmark.tsx as the real
// host does. It opens a main view window, loads the reference host library
// tsxapi.dll and the plug-in by name from its own folder, drives the four
// exports and checks what the plug-in shows: the description record, one
// panel window owned by the main view, the version message on an old host,
// and that unloading takes the panel away.
//
//   rillmark_win32_host                    the whole session
//   rillmark_win32_host --hold MS          keep the panel open MS ms (screenshots)
//   rillmark_win32_host --panel-run [FOLDER]
//       a whole run driven by real mouse and keyboard input (panel_run.cpp),
//       with screenshots into FOLDER
//   rillmark_win32_host --panel-run-strict-host
//       the same, against a host that answers tsxIsSobj only for objects
//       in the scene (none of the plug-in's own copies), no screenshots
//   rillmark_win32_host --tab-paint FOLDER
//       each page reached by real clicks from each other page, and after
//       rolling the panel up and down, must match its screen on a freshly
//       opened panel (tab_paint.cpp); differing screens go to FOLDER
//   rillmark_win32_host --package-check FOLDER
//       the plug-in loaded from an unpacked package; its online reference
//       must be FOLDER's Index.htm
//   rillmark_win32_host --float-boundary
//       every call into the plug-in made with floating-point traps on
//       (float_boundary.cpp)
//   rillmark_win32_host --host-faults
//       the plug-in against a host that deletes the water mid-run, makes
//       no copies, answers NaN boxes or lacks the 4.1 functions
//       (host_faults.cpp)
//   rillmark_win32_host --cycles N
//       the plug-in loaded, used and unloaded N times; what the process
//       holds after cycle 2 and after cycle N must agree (load_cycles.cpp)
//   rillmark_win32_host --bench-run a|d [--escape | --repeat N]
//       whole runs of benchmark scene (a) or (d) through the real panel,
//       the fastest of N (3) timed; with --escape, a run with Escape
//       pressed mid-run after one without (whole_run_bench.cpp)
//   rillmark_win32_host --soak SECONDS --seed N
//       the real panel under random real input and host events chosen by
//       the seed for SECONDS, with invariants checked all along (soak.cpp)
//   rillmark_win32_host --missing-host-library
//       copies itself and the plug-in to a folder without tsxapi.dll and
//       runs the copy with --expect-load-failure, which checks the message
//       the plug-in shows when it cannot load the host library.
//
// Exit code 0 when every check passed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dialog_watcher.h"
#include "float_boundary.h"
#include "host_faults.h"
#include "load_cycles.h"
#include "host_harness.h"
#include "panel_run.h"
#include "soak.h"
#include "tab_paint.h"
#include "whole_run_bench.h"

namespace {

using namespace rillmark::testhost;

// The creation parameters of each window the plug-in makes with the main
// view as owner, exactly as it passes them to CreateWindowExA: the system
// adds WS_EX_WINDOWEDGE to a captioned window before anyone else (even a
// CBT hook) sees the style, so the plug-in's own call is intercepted by
// pointing its import of CreateWindowExA at recordingCreateWindowExA.
struct Creation {
  DWORD exStyle;
  DWORD style;
};
std::vector<Creation> creations;
HWND watchedOwner = nullptr;

HWND WINAPI recordingCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                                     LPVOID param) {
  if (parent == watchedOwner && watchedOwner != nullptr) creations.push_back({exStyle, style});
  return CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}

std::string text(const unsigned char* p) { return reinterpret_cast<const char*>(p); }

std::string exeFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s = path;
  return s.substr(0, s.find_last_of("\\/") + 1);
}

// What the plug-in must say when tsxapi.dll cannot be loaded: the system's
// own text for the code, cut to 255 characters and stripped of trailing
// blanks, control characters and full stops.
std::string expectedLoadFailure(DWORD code) {
  char buffer[256] = {};
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                                 sizeof buffer, nullptr);
  std::string system(buffer, n);
  if (system.size() > 255) system.resize(255);
  while (!system.empty()) {
    const auto c = static_cast<unsigned char>(system.back());
    if (c > ' ' && c != 0x7F && c != '.') break;
    system.pop_back();
  }
  return "Unhandled exception in \"\" tSX plugin.\r\nThe exception is classified as: \r\n\r\nException : Error " +
         std::to_string(code) + " initializing tsx API in Plugin: " + system;
}

int expectLoadFailure() {
  DialogWatcher watcher;
  check(GetModuleHandleA("tsxapi.dll") == nullptr, "tsxapi.dll is not loaded in this process");
  Plugin plugin;
  check(plugin.load(), "Rillmark.tsx loads without tsxapi.dll beside it");
  if (!plugin.module) return 1;
  unsigned char record[100];
  std::memset(record, 0xCC, sizeof record);
  check(plugin.tsxGetData(record, 1) == -1, "tsxGetData answers -1 when the host library cannot be loaded");
  checkTexts(watcher.take(), {expectedLoadFailure(ERROR_MOD_NOT_FOUND)}, "the load failure message, word for word");
  bool untouched = true;
  for (unsigned char b : record) untouched = untouched && b == 0xCC;
  check(untouched, "the description is not written");
  FreeLibrary(plugin.module);
  return failures == 0 ? 0 : 1;
}

int runWithoutHostLibrary() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "rillmark-no-tsxapi-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string exe = folder + "rillmark_win32_host.exe";
  const std::string plugin = folder + "Rillmark.tsx";
  check(CopyFileA(self, exe.c_str(), FALSE) != 0, "copy the host program to " + folder);
  check(CopyFileA((exeFolder() + "Rillmark.tsx").c_str(), plugin.c_str(), FALSE) != 0, "copy Rillmark.tsx there");

  std::string command = "\"" + exe + "\" --expect-load-failure";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  DWORD exitCode = 1;
  if (CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &si, &pi)) {
    WaitForSingleObject(pi.hProcess, 120000);
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  check(exitCode == 0, "the run without tsxapi.dll passed");
  DeleteFileA(plugin.c_str());
  DeleteFileA(exe.c_str());
  RemoveDirectoryA(folder.c_str());
  return failures == 0 ? 0 : 1;
}

int runSession(DWORD holdMs) {
  DialogWatcher watcher;
  HWND view = createMainView();
  check(view != nullptr, "the main view exists");

  HMODULE api = LoadLibraryA("tsxapi.dll");
  check(api != nullptr, "tsxapi.dll loads");
  if (!api) return 1;
  auto reset = proc<void(__cdecl*)()>(api, "refhost_reset");
  auto setVersion = proc<void(__cdecl*)(int, int)>(api, "refhost_set_version");
  auto setMainView = proc<void(__cdecl*)(void*)>(api, "refhost_set_main_view");
  check(reset && setVersion && setMainView, "the reference host's controls resolve");
  if (!reset || !setVersion || !setMainView) return 1;
  reset();
  setMainView(view);
  setVersion(430, 0);

  Plugin plugin;
  check(plugin.load(), "Rillmark.tsx loads and has its four exports");
  if (!plugin.module) return 1;

  unsigned char record[100];
  std::memset(record, 0xCC, sizeof record);
  check(plugin.tsxGetData(record, 42) == 0, "tsxGetData answers 0");
  check(text(record) == "Rillmark" && record[9] == 0xCC && record[31] == 0xCC, "name \"Rillmark\", NUL, rest untouched");
  check(text(record + 32) == "Rillmark developers" && record[52] == 0xCC && record[95] == 0xCC,
        "author text, NUL, rest untouched");
  check(record[96] == 2 && record[97] == 0 && record[98] == 2 && record[99] == 0, "Code1 and Code2 are 2");

  watchedOwner = view;
  check(redirectImport(plugin.module, "USER32.dll", "CreateWindowExA", reinterpret_cast<void*>(&recordingCreateWindowExA)),
        "the plug-in's CreateWindowExA import is watched");
  check(plugin.tsxOnLeftClick() == 0, "first left click answers 0");
  check(plugin.tsxOnLeftClick() == 0, "second left click answers 0");
  pump(100);

  std::vector<HWND> panels = ownedWindows(view);
  check(panels.size() == 1, "one panel window owned by the main view (found " + std::to_string(panels.size()) + ")");
  check(creations.size() == 1, "one window created with the main view as owner");
  if (!creations.empty()) {
    char hex[64];
    std::snprintf(hex, sizeof hex, "0x%lX", static_cast<unsigned long>(creations[0].exStyle));
    check(creations[0].exStyle == 0x10080, std::string("created with extended style exactly 0x10080 (") + hex + ")");
    check((creations[0].style & WS_CHILD) == 0, "created without WS_CHILD");
  }
  HWND panel = panels.empty() ? nullptr : panels[0];
  if (panel) {
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(panel, GWL_EXSTYLE));
    char hex[64];
    std::snprintf(hex, sizeof hex, "0x%lX", static_cast<unsigned long>(exStyle));
    // The system adds WS_EX_WINDOWEDGE to every window with a dialog frame
    // (a caption has one), whatever the creator asked for.
    check((exStyle & ~static_cast<DWORD>(WS_EX_WINDOWEDGE)) == 0x10080,
          std::string("the window's extended style is 0x10080 apart from the system's window edge (") + hex + ")");
    char caption[64] = {};
    GetWindowTextA(panel, caption, sizeof caption);
    check(std::string(caption) == "Rillmark", std::string("caption \"Rillmark\" (") + caption + ")");
    RECT client{}, outer{};
    GetClientRect(panel, &client);
    GetWindowRect(panel, &outer);
    check(client.right == 180 && client.bottom == 363,
          "client area 180 x 363 (" + std::to_string(client.right) + " x " + std::to_string(client.bottom) + ")");
    check(outer.left == 190 && outer.top == 102,
          "position 190, 102 (" + std::to_string(outer.left) + ", " + std::to_string(outer.top) + ")");
    check(IsWindowVisible(panel) != 0, "the panel is visible");
    POINT middle{90, 180};
    ClientToScreen(panel, &middle);
    const LRESULT hit = SendMessageA(panel, WM_NCHITTEST, 0, MAKELPARAM(middle.x, middle.y));
    check(hit == HTCAPTION, "a bare spot of the client area answers HTCAPTION (" + std::to_string(hit) + ")");

    plugin.tsxOnRightClick();
    plugin.tsxDeactivate();
    pump(50);
    check(IsWindow(panel) && IsWindowVisible(panel), "right click and deactivation leave the panel visible");
    if (holdMs > 0) pump(holdMs);

    // Closing frees the panel; the next click builds a new one.
    SendMessageA(panel, WM_CLOSE, 0, 0);
    pump(100);
    check(!IsWindow(panel), "closing the panel destroys its window");
    check(plugin.tsxOnLeftClick() == 0, "a click after closing answers 0");
    pump(50);
    panels = ownedWindows(view);
    check(panels.size() == 1 && panels[0] != panel, "the click after closing builds a new panel");
  }
  check(watcher.take().empty(), "no message box so far");

  HWND secondPanel = panels.empty() ? nullptr : panels[0];
  FreeLibrary(plugin.module);
  pump(50);
  check(secondPanel == nullptr || !IsWindow(secondPanel), "unloading the plug-in destroys the panel");
  check(ownedWindows(view).empty(), "no plug-in window is left");
  check(GetModuleHandleA("Rillmark.tsx") == nullptr, "the plug-in is unloaded");

  // An older host: the plug-in refuses it with the version message.
  setVersion(310, 0);
  Plugin old;
  check(old.load(), "Rillmark.tsx loads again");
  if (old.module) {
    std::memset(record, 0xCC, sizeof record);
    check(old.tsxGetData(record, 1) == -1, "tsxGetData answers -1 on a 3.10 host");
    checkTexts(watcher.take(), {"This Plugin requires trueSpace version  3.20, but version  3.10 is installed."},
               "the version message, word for word");
    check(record[0] == 0xCC && record[32] == 0xCC && record[96] == 0xCC, "the description is not written");
    FreeLibrary(old.module);
  }

  // Every reference the plug-in took on the host library was given back.
  FreeLibrary(api);
  check(GetModuleHandleA("tsxapi.dll") == nullptr, "the host library's last reference was this program's own");
  DestroyWindow(view);
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  DWORD holdMs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--expect-load-failure") return expectLoadFailure();
    if (arg == "--missing-host-library") return runWithoutHostLibrary();
    if (arg == "--float-boundary") return runFloatBoundary();
    if (arg == "--host-faults") return runHostFaults();
    if (arg == "--cycles" && i + 1 < argc) return runLoadCycles(std::atoi(argv[i + 1]));
    if (arg == "--panel-run") return runPanelByInput(i + 1 < argc ? argv[i + 1] : "");
    if (arg == "--panel-run-strict-host") return runPanelByInput("", true);
    if (arg == "--tab-paint" && i + 1 < argc) return runTabPaint(argv[i + 1]);
    if (arg == "--package-check" && i + 1 < argc) return checkUnpackedPackage(argv[i + 1]);
    if (arg == "--bench-run" && i + 1 < argc) {
      const std::string next = i + 2 < argc ? argv[i + 2] : "";
      const int repeats = next == "--repeat" && i + 3 < argc ? std::atoi(argv[i + 3]) : 3;
      return benchWholeRun(argv[i + 1], next == "--escape", repeats);
    }
    if (arg == "--soak" && i + 1 < argc) {
      const int seconds = std::atoi(argv[i + 1]);
      unsigned seed = 1;
      if (i + 3 < argc && std::string(argv[i + 2]) == "--seed")
        seed = static_cast<unsigned>(std::strtoul(argv[i + 3], nullptr, 10));
      const int status = runSoak(seconds, seed);
      std::printf("%s\n", status == 0 ? "all checks passed" : "some checks FAILED");
      return status;
    }
    if (arg == "--hold" && i + 1 < argc) holdMs = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
  }
  const int status = runSession(holdMs);
  std::printf("%s\n", status == 0 ? "all checks passed" : "some checks FAILED");
  return status;
}
