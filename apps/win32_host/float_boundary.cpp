// rillmark_win32_host --float-boundary: a host that runs with floating-point
// traps on. Before every call into the plug-in (the four exports, messages
// sent to its windows, real keyboard input, a whole run whose parameters
// overflow, the unload) this program unmasks the invalid-operation,
// division-by-zero and overflow exceptions of both the x87 and the SSE
// unit, rounds SSE toward zero with flush-to-zero and denormals-are-zero
// on, and afterwards checks that the plug-in handed all of it back. A trap
// anywhere ends the program with the exception's code. While the run
// processes messages, the main view's own timer checks that the host's
// code sees the host's settings.
#include "float_boundary.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "dialog_watcher.h"
#include "host_harness.h"
#include "panel_driver.h"

namespace rillmark::testhost {

namespace {

constexpr std::uint16_t kHostX87 = 0x0272;  // traps on IM, ZM, OM; 53-bit; to nearest
constexpr std::uint32_t kHostSse = 0xF940;  // traps on IM, ZM, OM; toward zero; FTZ, DAZ
constexpr std::uint32_t kSseFlagBits = 0x3F;
constexpr UINT_PTR kSettingsTimer = 7;

struct Words {
  std::uint16_t x87 = 0;
  std::uint16_t x87Status = 0;
  std::uint32_t sse = 0;
};

Words currentWords() {
  Words w;
  asm volatile("fnstcw %0" : "=m"(w.x87));
  asm volatile("fnstsw %0" : "=m"(w.x87Status));
  asm volatile("stmxcsr %0" : "=m"(w.sse));
  return w;
}

void loadWords(std::uint16_t x87, std::uint32_t sse) {
  asm volatile("fnclex\n\tfldcw %0" : : "m"(x87));
  asm volatile("ldmxcsr %0" : : "m"(sse));
}

// The host's settings as they should be: control words equal, and no x87
// exception pending that the host's traps would raise.
bool hostSettingsHold(const Words& w) {
  const bool pendingTrap = (w.x87Status & ~w.x87 & 0x3F) != 0;
  return w.x87 == kHostX87 && (w.sse & ~kSseFlagBits) == (kHostSse & ~kSseFlagBits) && !pendingTrap;
}

std::string hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

LONG CALLBACK reportFloatTrap(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  const bool floating = (code >= EXCEPTION_FLT_DENORMAL_OPERAND && code <= EXCEPTION_FLT_UNDERFLOW) ||
                        code == 0xC00002B4 || code == 0xC00002B5;  // multiple faults, multiple traps
  if (!floating) return EXCEPTION_CONTINUE_SEARCH;
  std::printf("FAILED: floating-point exception %s at %p\n", hex(code).c_str(),
              info->ExceptionRecord->ExceptionAddress);
  std::fflush(stdout);
  ExitProcess(3);
}

// What the main view's timer saw while the plug-in's run pumped messages.
struct TimerRecord {
  bool watching = false;
  int ticks = 0;
  int wrong = 0;
};
TimerRecord timerRecord;

LRESULT CALLBACK mainViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kSettingsTimer && timerRecord.watching) {
    ++timerRecord.ticks;
    if (!hostSettingsHold(currentWords())) ++timerRecord.wrong;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Runs call under the host's trapping settings, lets the host's loop
// handle what it left in the queue, and checks what comes back.
void underHostSettings(const std::string& what, const std::function<void()>& call) {
  const Words before = currentWords();
  loadWords(kHostX87, kHostSse);
  call();
  pump(30);
  const Words after = currentWords();
  loadWords(before.x87, before.sse);
  check(hostSettingsHold(after), what + " hands back the host's settings (x87 " + hex(after.x87) + ", status " +
                                     hex(after.x87Status) + ", MXCSR " + hex(after.sse) + ")");
}

}  // namespace

int runFloatBoundary() {
  AddVectoredExceptionHandler(1, reportFloatTrap);
  DialogWatcher watcher;
  HWND view = createMainView(mainViewProc, "RillmarkTrappingHostView", "Trapping host main view");
  ReferenceHost host{};
  HMODULE api = startReferenceHost(host, view);
  if (api == nullptr) return 1;
  const Handle water = host.addGrid("Water", 31, 31, 6.0f, 6.0f, 0.0f, nullptr);
  const Handle ball = host.createSphere(12, 6, 0.4f);
  host.sceneAddObject(ball, 1);
  host.setName(ball, "Effector-Ball");
  host.addLocationKey(ball, 0.0f, 1.0f, -0.5f, 2.0f);
  host.addLocationKey(ball, 30.0f, 1.0f, -0.5f, -2.0f);

  Plugin plugin;
  check(plugin.load(), "Rillmark.tsx loads");
  if (!plugin.module) return 1;
  unsigned char record[100] = {};
  underHostSettings("tsxGetData", [&] { check(plugin.tsxGetData(record, 1) == 0, "tsxGetData answers 0"); });
  underHostSettings("tsxOnLeftClick", [&] { check(plugin.tsxOnLeftClick() == 0, "the left click answers 0"); });
  underHostSettings("tsxOnRightClick", [&] { plugin.tsxOnRightClick(); });
  underHostSettings("tsxDeactivate", [&] { plugin.tsxDeactivate(); });
  const auto owned = ownedWindows(view);
  check(owned.size() == 1, "one panel window");
  if (owned.size() != 1) return 1;
  HWND panel = owned[0];
  auto controls = controlWindows(panel);
  auto control = [&](const std::string& name, HWND within = nullptr) {
    const auto found = within ? controlWindows(within) : controls;
    const auto it = found.find(name);
    if (it != found.end()) return it->second;
    check(false, "the panel has a control named " + name);
    return static_cast<HWND>(nullptr);
  };

  underHostSettings("painting every window", [&] {
    RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  });
  underHostSettings("a hit test", [&] { SendMessageA(panel, WM_NCHITTEST, 0, MAKELPARAM(300, 200)); });
  host.select(water);
  underHostSettings("Select Water", [&] { pressButton(control("btnselect")); });
  check(windowText(control("btnselect")) == "Water selected", "the water is selected");

  // Parameters that overflow: e^(Decay x phase) and 1 / Wavelength.
  underHostSettings("typing Decay 1e6", [&] { typeInto(control("edit", control("spindecay")), "1000000"); });
  underHostSettings("typing Wavelength 0", [&] { typeInto(control("edit", control("spinfreq")), "0"); });
  check(windowText(control("edit", control("spindecay"))) == "1000000", "Decay reads 1000000");
  underHostSettings("Get/Make Source", [&] { pressButton(control("SpeedButton1")); });

  // "End" typed with the real keyboard.
  SetForegroundWindow(panel);
  pump(200);
  HWND end = control("edit", control("spinend"));
  underHostSettings("typing End with real keys", [&] {
    clickAt(centreOf(end));
    pressKey(VK_HOME);
    sendKey(VK_SHIFT, false);
    pressKey(VK_END);
    sendKey(VK_SHIFT, true);
    pressKey('3');
    pressKey('0');
    pressKey(VK_RETURN);
  });
  check(windowText(end) == "30", "End reads 30 (" + windowText(end) + ")");

  SetTimer(view, kSettingsTimer, 5, nullptr);
  timerRecord.watching = true;
  underHostSettings("a whole run", [&] { pressButton(control("btnstart")); });
  timerRecord.watching = false;
  KillTimer(view, kSettingsTimer);
  check(frameOf(windowText(control("Statusbar"))) == 30, "the run reached frame 30");
  check(timerRecord.ticks > 0 && timerRecord.wrong == 0,
        "the host's timer saw its own settings during the run (" + std::to_string(timerRecord.ticks) + " ticks, " +
            std::to_string(timerRecord.wrong) + " wrong)");

  Handle current = host.findTopNode("Water");
  std::vector<int> frames(64);
  const int keyed = host.vertexKeyFrames(current, frames.data(), static_cast<int>(frames.size()));
  check(keyed == 16, "a key every second frame from 0 to 30 (" + std::to_string(keyed) + ")");
  bool finite = true;
  std::vector<float> xyz(3 * 31 * 31);
  for (int i = 0; i < keyed && i < static_cast<int>(frames.size()); ++i) {
    host.getVertexKey(current, frames[i], xyz.data(), 31 * 31);
    for (float v : xyz) finite = finite && std::isfinite(v);
  }
  check(finite, "every keyed coordinate is finite");

  underHostSettings("the About window", [&] { pressButton(control("Button1")); });
  HWND about = findAbout(view);
  check(about != nullptr, "the About window is open");
  underHostSettings("closing the About window", [&] { SendMessageA(about, WM_CLOSE, 0, 0); });
  underHostSettings("closing the panel", [&] { SendMessageA(panel, WM_CLOSE, 0, 0); });
  underHostSettings("unloading the plug-in", [&] { FreeLibrary(plugin.module); });
  checkTexts(watcher.take(), {}, "no message box");
  FreeLibrary(api);
  DestroyWindow(view);
  return failures == 0 ? 0 : 1;
}

}  // namespace rillmark::testhost
