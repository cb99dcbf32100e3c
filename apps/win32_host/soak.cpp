// rillmark_win32_host --soak SECONDS --seed N: the real plug-in used for a
// long time in no particular order. The main thread is the host: it only
// translates and dispatches messages, and its main view's own timer plays
// the host's side and checks the scene (soak_host.*). A user thread chooses
// actions with the seed and performs them by real input (soak_user.*); a
// dialog thread answers every dialog the plug-in opens (soak_dialogs.*);
// a probe thread asks the host's UI thread to answer.
//
// Invariants, each a failure with the seed and the last 50 actions:
//   - no crash, and the UI thread answers a probe within 2 s whenever no
//     modal dialog is open;
//   - every coordinate of every polyhedron in the scene is finite, and the
//     water (and every copy of it) keeps the x and y of its grid;
//   - every message box of the plug-in shows one of its own messages;
//   - a preset file, read all through each save and load, is always its
//     old content or a complete new one, and no temporary file of a save
//     is left beside it (soak_presets.*);
//   - from the baseline to the end, windows, threads, handles, the
//     plug-in's GDI objects and memory stay within small margins
//     (soak_resources.*).
#include "soak.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "host_harness.h"
#include "panel_driver.h"
#include "plugin_gdi_objects.h"
#include "soak_dialogs.h"
#include "soak_host.h"
#include "soak_resources.h"
#include "soak_state.h"
#include "soak_user.h"

namespace rillmark::testhost {

namespace {

using namespace soak;

constexpr DWORD kProbeTimeoutMs = 2000;

class Prober {
 public:
  explicit Prober(HWND view) : view_(view), thread_([this] { run(); }) {}
  ~Prober() {
    stop_ = true;
    thread_.join();
  }

 private:
  void run() {
    while (!stop_) {
      Sleep(250);
      if (state.dialogsOpen > 0) continue;
      const long long dialogsBefore = state.dialogsSeen;
      DWORD_PTR result = 0;
      const DWORD before = GetTickCount();
      const LRESULT answered = SendMessageTimeoutA(view_, WM_NULL, 0, 0, SMTO_NORMAL, kProbeTimeoutMs, &result);
      ++state.probes;
      // A short wait lets the dialog thread see a dialog that opened meanwhile.
      if (answered == 0) Sleep(100);
      const bool hiding = static_cast<LONG>(state.hidingUntil.load() - before) > 0;
      if (answered == 0 && state.dialogsOpen == 0 && state.dialogsSeen == dialogsBefore && !hiding && !stop_)
        fail("the host's UI thread did not answer a probe within 2 s (waited " +
             std::to_string(GetTickCount() - before) + " ms)");
    }
  }

  HWND view_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

HINSTANCE WINAPI ignoredShellExecuteW(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT) {
  logAction("shell open (the guide)");
  return reinterpret_cast<HINSTANCE>(42);
}

std::wstring soakFolder() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder =
      std::wstring(temp) + L"rillmark-soak-" + std::to_wstring(GetCurrentProcessId()) + L"-\u00F8\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void removeFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE h = FindFirstFileW((folder + L"*").c_str(), &found);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileW((folder + found.cFileName).c_str());
    } while (FindNextFileW(h, &found));
    FindClose(h);
  }
  RemoveDirectoryW(folder.c_str());
}

void report(unsigned seed, const User& user) {
  const DWORD elapsed = GetTickCount() - state.startTick;
  std::printf("soak: seed %u, %lu s, %lld actions\n", seed, static_cast<unsigned long>(elapsed / 1000),
              state.actions.load());
  std::printf("actions per kind:\n");
  for (const auto& [kind, n] : state.perKind) std::printf("  %-36s %lld\n", kind.c_str(), n);
  std::printf("runs started: %lld\nfiles written: %lld\nmessage boxes answered: %lld\nprobes answered: %lld\n",
              state.runs.load(), state.filesWritten.load(), state.messageBoxes.load(), state.probes.load());
  std::printf("dialog answers typed: %lld (typing missed: %lld); preset reads during saves and loads: %lld\n",
              state.typedAnswers.load(), state.typingMissed.load(), state.presetReads.load());
  std::printf("scene checks: %lld; the last: %s\n", state.sceneChecks.load(), state.lastFigures.c_str());
  if (user.measured[0]) print("at the baseline", user.measurements[0]);
  if (user.measured[1]) print("at the end", user.measurements[1]);
}

}  // namespace

int runSoak(int seconds, unsigned seed) {
  state.seed = seed;
  state.verbose = GetEnvironmentVariableA("RILLMARK_SOAK_VERBOSE", nullptr, 0) > 0;
  host.rng.seed(seed ^ 0x5EEDu);
  SetUnhandledExceptionFilter(onCrash);
  host.view = createMainView(hostViewProc, "RillmarkSoakHostView", "Soak host main view");
  host.api = startReferenceHost(host.ref, host.view);
  if (host.api == nullptr) return 1;
  host.ref.setRecording(0);  // the call record would grow all along
  if (!bindSceneWalk()) return 1;
  buildScene();

  std::unique_ptr<DialogAnswerer> dialogs = std::make_unique<DialogAnswerer>();
  // Loaded once before the host loads it, so that its GDI objects are
  // counted from the first.
  Plugin counted;
  if (!counted.load()) {
    check(false, "Rillmark.tsx loads");
    return 1;
  }
  countGdiObjectsOf(counted.module);
  HWND panel = openPluginPanel(host.plugin, host.view);
  if (panel == nullptr) return 1;
  redirectImport(host.plugin.module, "SHELL32.dll", "ShellExecuteW", reinterpret_cast<void*>(&ignoredShellExecuteW));
  SetForegroundWindow(panel);
  state.panel = panel;
  pump(200);
  checkScene();

  const std::wstring folder = soakFolder();
  state.startTick = GetTickCount();
  SetTimer(host.view, kHostTimer, 50, nullptr);
  {
    Prober prober(host.view);
    User user(seed, seconds, host.view, folder);
    std::thread userThread([&] { user.run(); });
    // The host's loop: it only translates and dispatches.
    while (!state.userDone) pump(20);
    userThread.join();
    pump(300);
    KillTimer(host.view, kHostTimer);
    if (!state.failed) checkScene();
    report(seed, user);
    check(user.measured[0] && user.measured[1], "the resources were measured at the baseline and at the end");
    if (user.measured[0] && user.measured[1]) checkResources(user.measurements[0], user.measurements[1]);
  }
  check(!state.failed, "the soak kept every invariant (seed " + std::to_string(seed) + ")");

  if (HWND about = findAbout(host.view)) SendMessageA(about, WM_CLOSE, 0, 0);
  if (HWND p = findPanel()) SendMessageA(p, WM_CLOSE, 0, 0);
  pump(100);
  FreeLibrary(host.plugin.module);
  FreeLibrary(counted.module);
  pump(50);
  dialogs.reset();
  FreeLibrary(host.api);
  DestroyWindow(host.view);
  removeFolder(folder);
  return failures == 0 ? 0 : 1;
}

}  // namespace rillmark::testhost
