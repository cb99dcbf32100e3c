// rillmark_win32_host --soak SECONDS --seed N: the real plug-in used for a
// long time in no particular order. The main thread is the host: it only
// translates and dispatches messages, and its main view's own timer plays
// the host's side (deleting, renaming and adding objects, changing the
// selection, the toolbar icon that reopens the panel) and checks the
// scene. A user thread chooses actions with the seed and performs them by
// real input (SendInput) on the panel; a dialog thread answers every
// dialog the plug-in opens (message boxes, the file dialogs, Select by
// Name); a probe thread asks the host's UI thread to answer.
//
// Invariants, each a failure with the seed and the last 50 actions:
//   - no crash, and the UI thread answers a probe within 2 s whenever no
//     modal dialog is open;
//   - every coordinate of every polyhedron in the scene is finite, and the
//     water (and every copy of it) keeps the x and y of its grid;
//   - every message box of the plug-in shows one of its own messages;
//   - a preset file is always its old content or a complete new one, and
//     no temporary file of a save is left beside it.
#include "soak.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "host_harness.h"
#include "load_cycles.h"
#include "panel_driver.h"

namespace rillmark::testhost {

namespace {

constexpr UINT_PTR kHostTimer = 21;
constexpr int kGridX = 29;  // a vertex count no other polyhedron has
constexpr int kGridY = 23;
constexpr int kGridVertices = kGridX * kGridY;
constexpr DWORD kProbeTimeoutMs = 2000;
constexpr int kInputEditId = 100;  // the edit box of the plug-in's input dialog
constexpr std::size_t kRecentActions = 50;
constexpr int kMostAddedObjects = 24;

// Every text the plug-in may show in a message box; the patterns are those
// with a path, a line's text or an object's name in them.
const char* const kOwnMessages[] = {
    "Please Select Water Object",
    "The water object changed during the run, so the run has ended. Press Start to run it again.",
    "No object Selected",
    "The wind needs trueSpace version 4.10 or later: this version has no noise functions.",
    "The event table is full (100001 events). Further events of this run are not recorded.",
    "The host could not copy the water object",
};
struct Pattern {
  const char* prefix;
  const char* suffix;
};
const Pattern kOwnMessagePatterns[] = {
    {"Cannot create file ", ""},
    {"Cannot open file ", ""},
    {"List index out of bounds (", ")"},
    {"'", "' is not a valid floating point value"},
    {"'", "' is not a valid integer value"},
    {"The host could not copy the object '", "'"},
};

bool isOwnMessage(const std::string& text) {
  for (const char* m : kOwnMessages)
    if (text == m) return true;
  for (const Pattern& p : kOwnMessagePatterns) {
    const std::size_t a = std::strlen(p.prefix), b = std::strlen(p.suffix);
    if (text.size() >= a + b && text.compare(0, a, p.prefix) == 0 && text.compare(text.size() - b, b, p.suffix) == 0)
      return true;
  }
  return false;
}

std::string utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// What the threads share. One soak per process.
struct Shared {
  unsigned seed = 0;
  bool verbose = false;  // every action printed as it is done
  std::mutex mutex;
  std::deque<std::string> recent;
  std::map<std::string, long long> perKind;
  std::deque<std::pair<std::string, std::function<void()>>> hostQueue;
  std::atomic<bool> stop{false};
  std::atomic<bool> userDone{false};
  std::atomic<bool> failed{false};
  std::atomic<HWND> panel{nullptr};
  std::atomic<int> dialogsOpen{0};
  std::atomic<long long> dialogsSeen{0};
  // Until this tick a probe may go unanswered: Wine under Xvfb, with no
  // window manager, blocks the thread that hides a top-level window while
  // it waits for the X server to confirm (a second or two).
  std::atomic<DWORD> hidingUntil{0};  // grows as each new dialog is first seen
  std::atomic<long long> actions{0}, runs{0}, filesWritten{0}, messageBoxes{0}, probes{0}, sceneChecks{0};
  std::string lastFigures;
  DWORD startTick = 0;
  // What the process holds after minute 1 and at the end, each taken by
  // the host's timer with the panel open, the About window closed and no
  // run going.
  Resources resources[2];
  std::atomic<bool> measured[2] = {false, false};
};
Shared shared;

void printRecent() {
  std::printf("seed %u; the last %zu actions, oldest first:\n", shared.seed, shared.recent.size());
  for (const auto& a : shared.recent) std::printf("  %s\n", a.c_str());
  std::fflush(stdout);
}

void fail(const std::string& what) {
  std::lock_guard<std::mutex> lock(shared.mutex);
  if (shared.failed.exchange(true)) return;
  std::printf("SOAK FAILED: %s\n", what.c_str());
  printRecent();
  ++failures;
  shared.stop = true;
}

void logAction(const std::string& kind, const std::string& detail = "") {
  std::lock_guard<std::mutex> lock(shared.mutex);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%7.2f s ", (GetTickCount() - shared.startTick) / 1000.0);
  shared.recent.push_back(stamp + kind + (detail.empty() ? "" : ": " + detail));
  if (shared.recent.size() > kRecentActions) shared.recent.pop_front();
  ++shared.perKind[kind];
  ++shared.actions;
  if (shared.verbose) {
    std::printf("action %s\n", shared.recent.back().c_str());
    std::fflush(stdout);
  }
}

LONG WINAPI onCrash(EXCEPTION_POINTERS* info) {
  // The lock may be held by the thread that crashed; the log is read anyway.
  const bool locked = shared.mutex.try_lock();
  std::printf("SOAK FAILED: crash, exception 0x%08lX at %p\n",
              static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode), info->ExceptionRecord->ExceptionAddress);
  printRecent();
  if (locked) shared.mutex.unlock();
  return EXCEPTION_EXECUTE_HANDLER;
}

// ---------------------------------------------------------------- the host

using NodeFn = Handle(__cdecl*)(Handle);
using FirstFn = Handle(__cdecl*)();
using CountFn = int(__cdecl*)(Handle);
using SelectAnyFn = void(__cdecl*)(Handle);

struct Host {
  ReferenceHost ref{};
  HMODULE api = nullptr;
  Plugin plugin;
  HWND view = nullptr;
  FirstFn firstNode = nullptr;
  NodeFn firstChild = nullptr;
  NodeFn next = nullptr;
  CountFn vertexCount = nullptr;
  std::vector<float> restXY;  // the grid's x and y, vertex by vertex
  std::vector<Handle> added;
  int addedSerial = 0;
  bool inTimer = false;
  int ticks = 0;
  std::mt19937 rng;
};
Host host;

HINSTANCE WINAPI ignoredShellExecuteW(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT) {
  logAction("shell open (the guide)");
  return reinterpret_cast<HINSTANCE>(42);
}

void walk(Handle node, std::vector<Handle>& out, int depth = 0) {
  for (; node != nullptr && depth < 16; node = host.next(node)) {
    out.push_back(node);
    walk(host.firstChild(node), out, depth + 1);
  }
}

std::vector<Handle> sceneNodes() {
  std::vector<Handle> nodes;
  walk(host.firstNode(), nodes);
  return nodes;
}

bool checkXY(const std::vector<float>& xyz, const std::string& what) {
  for (int i = 0; i < kGridVertices; ++i) {
    if (std::fabs(xyz[3 * i] - host.restXY[2 * i]) > 1e-5f || std::fabs(xyz[3 * i + 1] - host.restXY[2 * i + 1]) > 1e-5f) {
      fail(what + ": vertex " + std::to_string(i) + " moved in x or y");
      return false;
    }
  }
  return true;
}

bool allFinite(const std::vector<float>& xyz, int count) {
  for (int i = 0; i < 3 * count; ++i)
    if (!std::isfinite(xyz[i])) return false;
  return true;
}

// Every polyhedron's coordinates finite; every water-sized one keeps the
// grid's x and y, in its vertices and in one of its vertex keys.
void checkScene() {
  ++shared.sceneChecks;
  int polyhedra = 0, waters = 0;
  long long vertices = 0;
  float highest = 0;
  std::vector<float> xyz;
  for (Handle node : sceneNodes()) {
    const int count = host.ref.getVertices(node, nullptr, 0);
    if (count <= 0) continue;
    ++polyhedra;
    vertices += count;
    xyz.assign(3 * static_cast<std::size_t>(count), 0.0f);
    host.ref.getVertices(node, xyz.data(), count);
    const std::string name = host.ref.nameOf(node);
    if (!allFinite(xyz, count)) return fail("a non-finite coordinate in polyhedron '" + name + "'");
    if (count != kGridVertices) continue;
    ++waters;
    for (int i = 0; i < count; ++i) highest = std::max(highest, std::fabs(xyz[3 * i + 2]));
    if (!checkXY(xyz, "water '" + name + "'")) return;
    std::vector<int> frames(8192);
    const int keyed = host.ref.vertexKeyFrames(node, frames.data(), static_cast<int>(frames.size()));
    if (keyed > 0) {
      const int frame = frames[host.rng() % static_cast<unsigned>(std::min<int>(keyed, 8192))];
      host.ref.getVertexKey(node, frame, xyz.data(), count);
      if (!allFinite(xyz, count)) return fail("a non-finite coordinate in the key at frame " + std::to_string(frame) +
                                              " of '" + name + "'");
      if (!checkXY(xyz, "the key at frame " + std::to_string(frame) + " of '" + name + "'")) return;
    }
  }
  std::lock_guard<std::mutex> lock(shared.mutex);
  shared.lastFigures = std::to_string(polyhedra) + " polyhedra, " + std::to_string(vertices) + " vertices, " +
                       std::to_string(waters) + " water-sized, highest |z| " + std::to_string(highest) + ", all finite";
}

HWND findPanel() {
  for (HWND w : ownedWindows(host.view)) {
    char caption[64] = {};
    GetWindowTextA(w, caption, sizeof caption);
    if (std::string(caption) == "Rillmark") return w;
  }
  return nullptr;
}

std::vector<Handle> namedStarting(const std::string& prefix) {
  std::vector<Handle> out;
  for (Handle n : sceneNodes())
    if (host.ref.nameOf(n).rfind(prefix, 0) == 0) out.push_back(n);
  return out;
}

Handle pick(const std::vector<Handle>& nodes) {
  return nodes.empty() ? nullptr : nodes[host.rng() % nodes.size()];
}

Handle addWater() { return host.ref.addGrid("Water", kGridX, kGridY, 6.0f, 5.0f, 0.0f, nullptr); }

LRESULT CALLBACK hostViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) return 0;  // the host closes only at the end
  if (message != WM_TIMER || wParam != kHostTimer) return DefWindowProcA(window, message, wParam, lParam);
  if (host.inTimer) return 0;
  host.inTimer = true;
  for (;;) {
    std::pair<std::string, std::function<void()>> event;
    {
      std::lock_guard<std::mutex> lock(shared.mutex);
      if (shared.hostQueue.empty()) break;
      event = std::move(shared.hostQueue.front());
      shared.hostQueue.pop_front();
    }
    event.second();
  }
  HWND panel = shared.panel;
  if (panel != nullptr && !IsWindow(panel)) shared.panel = nullptr;
  if (++host.ticks % 10 == 0 && !shared.failed) checkScene();
  host.inTimer = false;
  return 0;
}

// The host's side of the soak, done by its own timer: chosen by the user
// thread (one seeded stream), logged when done.
void hostEvent(const std::string& kind) {
  std::function<void()> f;
  if (kind == "host: delete water") {
    f = [kind] {
      const Handle w = host.ref.findTopNode("Water");
      if (w != nullptr) host.ref.sobjDelete(w);
      logAction(kind, w ? "deleted" : "none");
    };
  } else if (kind == "host: add water") {
    f = [kind] {
      if (host.ref.findTopNode("Water") == nullptr) addWater();
      logAction(kind);
    };
  } else if (kind == "host: rename water") {
    f = [kind] {
      Handle w = host.ref.findTopNode("Water");
      if (w != nullptr) {
        // One renamed water at a time keeps the scene bounded.
        if (const Handle lake = host.ref.findTopNode("Lake")) host.ref.sobjDelete(lake);
        host.ref.setName(w, "Lake");
        logAction(kind, "Water -> Lake");
      } else if ((w = host.ref.findTopNode("Lake")) != nullptr) {
        host.ref.setName(w, "Water");
        logAction(kind, "Lake -> Water");
      } else {
        logAction(kind, "none");
      }
    };
  } else if (kind == "host: delete effector" || kind == "host: rename effector") {
    f = [kind] {
      const Handle e = pick(namedStarting("Effector"));
      if (e == nullptr) return logAction(kind, "none");
      const std::string name = host.ref.nameOf(e);
      if (kind == "host: delete effector") host.ref.sobjDelete(e);
      else host.ref.setName(e, ("Effector-Renamed-" + std::to_string(++host.addedSerial)).c_str());
      logAction(kind, name);
    };
  } else if (kind == "host: delete wind source" || kind == "host: rename wind source") {
    f = [kind] {
      const Handle w = host.ref.findTopNode("Wind Source");
      if (w != nullptr && kind == "host: delete wind source") host.ref.sobjDelete(w);
      if (w != nullptr && kind == "host: rename wind source") host.ref.setName(w, "Breeze");
      logAction(kind, w ? "done" : "none");
    };
  } else if (kind == "host: add object") {
    f = [kind] {
      // The scene stays bounded over a long soak: past the limit the
      // oldest added object goes.
      if (static_cast<int>(host.added.size()) >= kMostAddedObjects) {
        const Handle old = host.added.front();
        host.added.erase(host.added.begin());
        if (host.ref.isLive(old)) host.ref.sobjDelete(old);
      }
      const int n = ++host.addedSerial;
      Handle h = nullptr;
      if (host.rng() % 2 == 0) {
        h = host.ref.createSphere(8, 5, 0.2f + 0.1f * static_cast<float>(n % 5));
        host.ref.sceneAddObject(h, 1);
        host.ref.setName(h, ((host.rng() % 2 ? "Effector-Soak-" : "Rock-") + std::to_string(n)).c_str());
        host.ref.addLocationKey(h, 0.0f, -2.0f + static_cast<float>(n % 4), 0.0f, 1.5f);
        host.ref.addLocationKey(h, 60.0f, -2.0f + static_cast<float>(n % 4), 0.5f, -1.5f);
      } else {
        h = host.ref.addGrid(("Plank-" + std::to_string(n)).c_str(), 4, 6, 1.0f, 2.0f, 0.3f, nullptr);
      }
      host.added.push_back(h);
      logAction(kind, host.ref.nameOf(h));
    };
  } else if (kind == "host: change selection") {
    f = [kind] {
      const Handle n = pick(sceneNodes());
      host.ref.select(n);
      logAction(kind, n ? host.ref.nameOf(n) : "nothing");
    };
  } else if (kind == "host: select water") {
    f = [kind] {
      const Handle w = host.ref.findTopNode("Water");
      if (w != nullptr) host.ref.select(w);
      logAction(kind, w ? "selected" : "none");
    };
  } else if (kind == "host: plug-in icon") {
    f = [kind] {
      const int answer = host.plugin.tsxOnLeftClick();
      HWND panel = findPanel();
      shared.panel = panel;
      logAction(kind, "answered " + std::to_string(answer) + (panel ? ", panel open" : ", no panel"));
      if (panel == nullptr) fail("the plug-in icon did not open the panel");
    };
  }
  std::lock_guard<std::mutex> lock(shared.mutex);
  shared.hostQueue.emplace_back(kind, std::move(f));
}

// ------------------------------------------------------------- the dialogs

// What the user means to do in the next file dialog or input dialog.
struct DialogPlan {
  bool pending = false;
  bool cancel = false;
  std::wstring text;
  // The file dialog the plan is for, by its caption ("Open" or "Save As"):
  // a random click on the other button may open the other dialog first.
  std::wstring dialog;
};
DialogPlan filePlan, inputPlan;

std::wstring wideText(HWND window) {
  wchar_t buffer[2048] = {};
  GetWindowTextW(window, buffer, 2048);
  return buffer;
}

std::wstring boxMessage(HWND dialog) {
  HWND text = GetDlgItem(dialog, 0xFFFF);
  return text ? wideText(text) : std::wstring();
}

class DialogAnswerer {
 public:
  DialogAnswerer() : thread_([this] { run(); }) {}
  ~DialogAnswerer() {
    stop_ = true;
    thread_.join();
  }

 private:
  struct Seen {
    HWND window;
    DWORD since;
    bool answered;
    bool cancelled;
  };
  void answer(HWND dialog) {
    const std::wstring caption = wideText(dialog);
    HWND fileName = GetDlgItem(dialog, 0x480);  // edt1
    if (fileName == nullptr) fileName = GetDlgItem(dialog, 0x47C);  // cmb13
    if (fileName != nullptr) {
      DialogPlan plan;
      {
        std::lock_guard<std::mutex> lock(shared.mutex);
        plan = filePlan;
        // A plan for the other kind of dialog stays for its own.
        if (plan.dialog == caption) filePlan.pending = false;
      }
      if (!plan.pending || plan.cancel || plan.dialog != caption) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return;
      }
      SendMessageW(fileName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(plan.text.c_str()));
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      return;
    }
    if (caption == L"Select by name" && GetDlgItem(dialog, kInputEditId) != nullptr) {
      DialogPlan plan;
      {
        std::lock_guard<std::mutex> lock(shared.mutex);
        plan = inputPlan;
        inputPlan.pending = false;
      }
      SendMessageW(GetDlgItem(dialog, kInputEditId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(plan.text.c_str()));
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(plan.cancel ? IDCANCEL : IDOK, BN_CLICKED), 0);
      return;
    }
    const std::wstring message = boxMessage(dialog);
    if (caption == L"Rillmark") {
      ++shared.messageBoxes;
      logAction("message box", utf8(message));
      if (!isOwnMessage(utf8(message))) fail("a message box that is not one of the plug-in's own: " + utf8(message));
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      return;
    }
    // The file dialog's own questions: replace an existing file, yes; any
    // other (a name it refuses) ends the file dialog too.
    logAction("file dialog question", utf8(caption) + ": " + utf8(message));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    if (message.find(L"exist") == std::wstring::npos) {
      HWND owner = GetWindow(dialog, GW_OWNER);
      if (owner != nullptr) PostMessageW(owner, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
  }

  void run() {
    std::vector<Seen> seen;
    while (!stop_) {
      int open = 0;
      std::vector<Seen> still;
      for (HWND d = nullptr; (d = FindWindowExA(nullptr, d, "#32770", nullptr)) != nullptr;) {
        DWORD process = 0;
        GetWindowThreadProcessId(d, &process);
        if (process != GetCurrentProcessId()) continue;
        // A dialog being built is not shown yet, but its modal loop has
        // the host's thread already.
        ++open;
        Seen entry{d, GetTickCount(), false, false};
        bool known = false;
        for (const auto& s : seen)
          if (s.window == d) {
            entry = s;
            known = true;
          }
        if (!known) ++shared.dialogsSeen;
        if (!IsWindowVisible(d)) entry.since = GetTickCount();
        // Answered once it has been up a moment; cancelled if that did
        // not end it; a failure if nothing does.
        const DWORD age = GetTickCount() - entry.since;
        if (!entry.answered && age >= 150) {
          entry.answered = true;
          answer(d);
        } else if (!entry.cancelled && age > 8000) {
          entry.cancelled = true;
          logAction("dialog cancelled after 8 s", utf8(wideText(d)));
          PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        } else if (age > 20000) {
          fail("a dialog stayed open 20 s: " + utf8(wideText(d)));
        }
        still.push_back(entry);
      }
      seen.swap(still);
      shared.dialogsOpen = open;
      Sleep(40);
    }
  }

  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// -------------------------------------------------------------- the probe

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
      if (shared.dialogsOpen > 0) continue;
      const long long dialogsBefore = shared.dialogsSeen;
      DWORD_PTR result = 0;
      const DWORD before = GetTickCount();
      const LRESULT answered = SendMessageTimeoutA(view_, WM_NULL, 0, 0, SMTO_NORMAL, kProbeTimeoutMs, &result);
      ++shared.probes;
      // A short wait lets the dialog thread see a dialog that opened meanwhile.
      if (answered == 0) Sleep(100);
      const bool hiding = static_cast<LONG>(shared.hidingUntil.load() - before) > 0;
      if (answered == 0 && shared.dialogsOpen == 0 && shared.dialogsSeen == dialogsBefore && !hiding && !stop_)
        fail("the host's UI thread did not answer a probe within 2 s (waited " +
             std::to_string(GetTickCount() - before) + " ms)");
    }
  }

  HWND view_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// --------------------------------------------------------------- the user

void windowHides() { shared.hidingUntil = GetTickCount() + 4000; }

void mouse(DWORD flags, POINT screen) { sendMouse(flags, screen); }

void tap(WORD vk) {
  sendKey(vk, false);
  sendKey(vk, true);
  Sleep(40);
}

void typeText(const std::wstring& text) {
  for (wchar_t c : text) {
    INPUT input[2]{};
    for (int i = 0; i < 2; ++i) {
      input[i].type = INPUT_KEYBOARD;
      input[i].ki.wScan = c;
      input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, input, sizeof input[0]);
    Sleep(4);
  }
}

class User {
 public:
  User(unsigned seed, int seconds, HWND view, const std::wstring& folder)
      : rng_(seed), seconds_(seconds), view_(view), folder_(folder) {}

  void run() {
    const DWORD end = shared.startTick + static_cast<DWORD>(seconds_) * 1000;
    save(false, freshName());  // the first preset: what a complete one looks like
    while (!shared.stop && GetTickCount() < end) {
      if (!measuredMinute_ && GetTickCount() - shared.startTick >= 60000) {
        measuredMinute_ = true;
        quiesce();
        measure(0);
      }
      act();
      Sleep(20 + rng_() % 120);
    }
    finish();
  }

  void finish() {
    if (!shared.failed) {
      quiesce();
      measure(1);
    }
    stopRun();
    shared.userDone = true;
  }

  // The same state for each measurement: no run, the About window closed,
  // the panel open.
  void quiesce() {
    stopRun();
    HWND about = findAbout(view_);
    if (about != nullptr && IsWindowVisible(about)) {
      windowHides();
      PostMessageA(about, WM_CLOSE, 0, 0);
    }
    if (!panelOpen()) hostEvent("host: plug-in icon");
    for (int i = 0; i < 50 && !panelOpen(); ++i) Sleep(100);
    settle();
    Sleep(500);
  }

  void measure(int index) {
    std::lock_guard<std::mutex> lock(shared.mutex);
    shared.hostQueue.emplace_back("measure", [index] {
      shared.resources[index] = rillmark::testhost::measure();
      shared.measured[index] = true;
    });
  }

  // No run may go on: Stop until the run buttons say so.
  void stopRun() {
    for (int i = 0; i < 200; ++i) {
      HWND panel = shared.panel;
      if (panel == nullptr || !IsWindow(panel)) break;
      refresh();
      HWND stop = control("btnstop");
      if (stop == nullptr || !IsWindowEnabled(stop)) break;
      PostMessageA(stop, BM_CLICK, 0, 0);
      Sleep(100);
    }
  }

 private:
  unsigned roll(unsigned n) { return n == 0 ? 0 : static_cast<unsigned>(rng_() % n); }
  bool chance(unsigned percent) { return roll(100) < percent; }

  // The panel's controls, found again whenever the panel was rebuilt.
  void refresh() {
    HWND panel = shared.panel;
    if (panel != panel_) {
      panel_ = panel;
      controls_ = panel ? controlWindows(panel) : std::map<std::string, HWND>{};
      spinners_.clear();
      for (const auto& [name, window] : controls_)
        if (name.rfind("spin", 0) == 0) spinners_.push_back(name);
    }
  }

  HWND control(const std::string& name) {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
  }

  bool panelOpen() {
    refresh();
    return panel_ != nullptr && IsWindow(panel_);
  }

  bool shown(HWND w) { return w != nullptr && IsWindow(w) && IsWindowVisible(w); }

  POINT pointIn(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    const LONG width = std::max<LONG>(1, r.right - r.left - 4), height = std::max<LONG>(1, r.bottom - r.top - 4);
    return {r.left + 2 + static_cast<LONG>(roll(static_cast<unsigned>(width))),
            r.top + 2 + static_cast<LONG>(roll(static_cast<unsigned>(height)))};
  }

  void clickAtPoint(POINT p, bool right = false) {
    mouse(MOUSEEVENTF_MOVE, p);
    Sleep(20);
    mouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, p);
    Sleep(20 + roll(60));
    mouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, p);
    Sleep(60);
  }

  bool clickNamed(const std::string& name) {
    HWND w = control(name);
    if (!shown(w)) return false;
    clickAtPoint(centreOf(w));
    return true;
  }

  bool enabled(const std::string& name) {
    HWND w = control(name);
    return shown(w) && IsWindowEnabled(w);
  }

  bool clickTab(int index) {
    HWND tabs = control("PageControl1");
    if (!shown(tabs)) return false;
    RECT r{};
    DWORD_PTR ok = 0;
    if (!SendMessageTimeoutA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r),
                             SMTO_ABORTIFHUNG, 2000, &ok) ||
        ok == 0)
      return false;
    clickAtPoint(toScreen(tabs, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
    return true;
  }

  // Shows the page that holds `name`, if a tab click can.
  bool reveal(const std::string& name, int tab) {
    if (shown(control(name))) return true;
    clickTab(tab);
    return shown(control(name));
  }

  // The close box of a captioned window, found by hit-testing its caption.
  bool clickCloseBox(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    for (LONG y = r.top + 1; y < r.top + 30; y += 2)
      for (LONG x = r.right - 2; x > r.right - 60; x -= 2) {
        DWORD_PTR hit = 0;
        if (SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &hit) &&
            hit == HTCLOSE) {
          clickAtPoint({x, y});
          return true;
        }
      }
    return false;
  }

  std::wstring randomTyping() {
    static const wchar_t* const pieces[] = {L"0",  L"1",     L"7",     L"42",   L".",     L",",    L"\u00A0", L"'",
                                            L"-",  L"+",     L"e",     L"E",    L"e-",    L"1e38", L"1e-45",   L"abc",
                                            L" ",  L"\u066B", L"\u00E9", L"1e400", L"-0",   L"nan",  L"inf",     L"0x1p3",
                                            L"99999999999", L"0.000001", L"3.5", L"2,5"};
    std::wstring text;
    if (chance(5)) return std::wstring(300 + roll(400), L'9');
    const unsigned n = 1 + roll(5);
    for (unsigned i = 0; i < n; ++i) text += pieces[roll(std::size(pieces))];
    return text;
  }

  void typeIntoSpinner(const std::string& spinner, const std::wstring& text, WORD finalKey) {
    HWND edit = nullptr;
    HWND sp = control(spinner);
    if (sp) {
      const auto inner = controlWindows(sp);
      const auto it = inner.find("edit");
      if (it != inner.end()) edit = it->second;
    }
    if (!shown(edit)) return;
    clickAtPoint(centreOf(edit));
    tap(VK_HOME);
    sendKey(VK_SHIFT, false);
    tap(VK_END);
    sendKey(VK_SHIFT, true);
    typeText(text);
    if (finalKey != 0) tap(finalKey);
  }

  std::string visibleSpinner() {
    std::vector<std::string> shownOnes;
    for (const auto& s : spinners_)
      if (shown(control(s))) shownOnes.push_back(s);
    return shownOnes.empty() ? std::string() : shownOnes[roll(static_cast<unsigned>(shownOnes.size()))];
  }

  // ----- presets
  std::wstring freshName() {
    static const wchar_t* const stems[] = {L"preset", L"Wasser", L"\u00E9t\u00E9", L"\u65E5\u672C\u8A9E", L"\u043C\u0438\u0440",
                                           L"a b",    L"x",      L"\u0391\u03C9"};
    return stems[roll(std::size(stems))] + std::to_wstring(++serial_) + L".rmp";
  }

  static bool readFile(const std::wstring& path, std::string& out) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    out.clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
    CloseHandle(f);
    return true;
  }

  static FILETIME lastWrite(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return FILETIME{};
    return data.ftLastWriteTime;
  }

  static bool writeFile(const std::wstring& path, const std::string& content) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &wrote, nullptr);
    CloseHandle(f);
    return wrote == content.size();
  }

  static std::size_t lines(const std::string& s) {
    std::size_t n = 0;
    for (char c : s) n += c == '\n';
    return n;
  }

  bool complete(const std::string& s) const {
    return referenceLines_ > 0 && !s.empty() && s.back() == '\n' && lines(s) == referenceLines_;
  }

  // Waits until the click's dialogs are answered and the host's UI thread
  // is back in a message loop (the handler has returned).
  void settle() {
    for (int i = 0; i < 400; ++i) {
      Sleep(50);
      bool planPending;
      {
        std::lock_guard<std::mutex> lock(shared.mutex);
        planPending = filePlan.pending || inputPlan.pending;
        // A click that opened no dialog (it landed elsewhere, or a run
        // holds the host) leaves the plan unused.
        if (planPending && i >= 60 && shared.dialogsOpen == 0) {
          filePlan.pending = inputPlan.pending = false;
          planPending = false;
        }
      }
      if (planPending || shared.dialogsOpen > 0) continue;
      Sleep(200);
      if (shared.dialogsOpen > 0) continue;
      DWORD_PTR r = 0;
      if (SendMessageTimeoutA(view_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r) && shared.dialogsOpen == 0) return;
    }
  }

  bool leftoverTemporaries() {
    WIN32_FIND_DATAW found{};
    HANDLE h = FindFirstFileW((folder_ + L".rillmark-save-*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    return true;
  }

  void save(bool cancel, const std::wstring& name) {
    if (!panelOpen() || !reveal("btnsave", 0)) return;
    const std::wstring path = folder_ + name;
    std::string before;
    const bool existed = readFile(path, before);
    const FILETIME writtenBefore = lastWrite(path);
    {
      std::lock_guard<std::mutex> lock(shared.mutex);
      filePlan = {true, cancel, path, L"Save As"};
    }
    logAction(cancel ? "save (cancelled)" : existed ? "save (overwrite)" : "save", utf8(name));
    clickNamed("btnsave");
    settle();
    {
      std::lock_guard<std::mutex> lock(shared.mutex);
      filePlan.pending = false;
    }
    std::string after;
    const bool exists = readFile(path, after);
    if (referenceLines_ == 0 && exists && !cancel) {
      referenceLines_ = lines(after);
      if (referenceLines_ == 0) fail("the first preset saved is empty");
    }
    const bool old = exists == existed && (!exists || after == before);
    if (!old && !(exists && complete(after)))
      fail("preset " + utf8(name) + " is neither its old content nor a complete new one (" +
           std::to_string(lines(after)) + " lines, " + std::to_string(after.size()) + " bytes)");
    if (cancel && !old) fail("a cancelled save changed " + utf8(name));
    const FILETIME writtenAfter = lastWrite(path);
    if (exists && (!old || CompareFileTime(&writtenBefore, &writtenAfter) != 0)) {
      ++shared.filesWritten;
      written_.push_back(name);
    }
    if (leftoverTemporaries()) fail("a save left its temporary file beside " + utf8(name));
  }

  void load(bool cancel, const std::wstring& name, const std::string& kind) {
    if (!panelOpen() || !reveal("btnload", 0)) return;
    const std::wstring path = folder_ + name;
    std::string before;
    const bool existed = readFile(path, before);
    {
      std::lock_guard<std::mutex> lock(shared.mutex);
      filePlan = {true, cancel, path, L"Open"};
    }
    logAction(kind, utf8(name));
    clickNamed("btnload");
    settle();
    {
      std::lock_guard<std::mutex> lock(shared.mutex);
      filePlan.pending = false;
    }
    std::string after;
    const bool exists = readFile(path, after);
    if (exists != existed || after != before) fail("loading changed the file " + utf8(name));
  }

  // A preset whose lines are damaged: a line replaced, or the file cut short.
  void loadBadFile() {
    if (written_.empty()) return;
    std::string good;
    if (!readFile(folder_ + written_[roll(static_cast<unsigned>(written_.size()))], good) || good.empty()) return;
    std::vector<std::string> ls;
    std::size_t at = 0;
    while (at < good.size()) {
      const std::size_t nl = good.find('\n', at);
      ls.push_back(good.substr(at, nl == std::string::npos ? std::string::npos : nl + 1 - at));
      if (nl == std::string::npos) break;
      at = nl + 1;
    }
    static const char* const bad[] = {"abc\r\n", "\r\n", "1e999\r\n", "--1\r\n", "1,2,3\r\n", "\xFF\xFE\r\n", "nan\r\n"};
    if (chance(30) && ls.size() > 1) ls.resize(roll(static_cast<unsigned>(ls.size())));
    else if (!ls.empty()) ls[roll(static_cast<unsigned>(ls.size()))] = bad[roll(std::size(bad))];
    std::string content;
    for (const auto& l : ls) content += l;
    const std::wstring name = L"bad-\u00FC" + std::to_wstring(++serial_) + L".rmp";
    if (!writeFile(folder_ + name, content)) return;
    load(false, name, "load (bad lines)");
  }

  // ----- actions
  void act() {
    if (!panelOpen()) {
      // A user whose panel is closed clicks the plug-in's icon, sooner or later.
      if (chance(40)) {
        hostEvent("host: plug-in icon");
        Sleep(150);
      } else {
        hostAct();
      }
      return;
    }
    const unsigned r = roll(100);
    if (r < 18) return clickAny();
    if (r < 24) return tabChange();
    if (r < 30) return drag();
    if (r < 38) return typing();
    if (r < 41) return keys();
    if (r < 50) return runAction();
    if (r < 53) return oneOf({[this] { rollUp(); }, [this] { statusDoubleClick(); }});
    if (r < 57) return oneOf({[this] { info(); }, [this] { about(); }});
    if (r < 64) return presets();
    if (r < 66) return selectByName();
    if (r < 68) return closePanel();
    if (r < 70) return rightClick();
    return hostAct();
  }

  void oneOf(std::initializer_list<std::function<void()>> fs) {
    auto it = fs.begin();
    std::advance(it, roll(static_cast<unsigned>(fs.size())));
    (*it)();
  }

  void clickAny() {
    std::vector<std::string> names;
    for (const auto& [name, w] : controls_)
      if (name != "edit" && shown(w)) names.push_back(name);
    if (names.empty()) return;
    const std::string name = names[roll(static_cast<unsigned>(names.size()))];
    logAction("click", name);
    HWND w = control(name);
    if (name == "btnstart" || name == "btncontinue")
      if (IsWindowEnabled(w)) ++shared.runs;
    clickAtPoint(pointIn(w));
  }

  void tabChange() {
    const int tab = static_cast<int>(roll(3));
    logAction("tab", std::to_string(tab));
    clickTab(tab);
  }

  void drag() {
    const std::string s = visibleSpinner();
    if (s.empty()) return;
    HWND w = control(s);
    RECT r{};
    GetWindowRect(w, &r);
    POINT p{r.right - 8, (r.top + r.bottom) / 2};
    const int steps = 1 + static_cast<int>(roll(20));
    const int dx = static_cast<int>(roll(81)) - 40;
    const DWORD pause = 5 + roll(60);
    logAction("spinner drag", s + " " + std::to_string(steps) + " x " + std::to_string(dx) + " px");
    mouse(MOUSEEVENTF_MOVE, p);
    Sleep(20);
    mouse(MOUSEEVENTF_LEFTDOWN, p);
    for (int i = 0; i < steps; ++i) {
      p.x += dx;
      mouse(MOUSEEVENTF_MOVE, p);
      Sleep(pause);
    }
    mouse(MOUSEEVENTF_LEFTUP, p);
    Sleep(60);
  }

  void rightClick() {
    const std::string s = visibleSpinner();
    if (s.empty()) return;
    logAction("right click", s);
    clickAtPoint(pointIn(control(s)), true);
  }

  void typing() {
    const std::string s = visibleSpinner();
    if (s.empty()) return;
    static const WORD finals[] = {VK_RETURN, VK_TAB, VK_ESCAPE, 0};
    const WORD final = finals[roll(4)];
    const std::wstring text = randomTyping();
    logAction("typed text", s + " \"" + utf8(text.size() > 40 ? text.substr(0, 40) + L"..." : text) + "\" + " +
                                (final == VK_RETURN ? "Enter" : final == VK_TAB ? "Tab" : final == VK_ESCAPE ? "Escape" : "nothing"));
    typeIntoSpinner(s, text, final);
  }

  void keys() {
    static const WORD ks[] = {VK_RETURN, VK_TAB, VK_ESCAPE};
    static const char* const names[] = {"Enter", "Tab", "Escape"};
    const unsigned i = roll(3);
    logAction("key", names[i]);
    tap(ks[i]);
  }

  void runAction() {
    const unsigned r = roll(6);
    if (r <= 1) {
      if (!reveal("btnstart", 0)) return logAction("start", "not shown");
      if (!enabled("btnstart")) {
        // The user picks the water first, as the button asks.
        hostEvent("host: add water");
        hostEvent("host: select water");
        Sleep(150);
        logAction("click", "btnselect");
        clickNamed("btnselect");
      }
      if (!enabled("btnstart")) return logAction("start", "not enabled");
      const int end = 5 + static_cast<int>(roll(120));
      const int step = 1 + static_cast<int>(roll(4));
      logAction("start", "End " + std::to_string(end) + ", Step " + std::to_string(step));
      typeIntoSpinner("spinend", std::to_wstring(end), VK_RETURN);
      typeIntoSpinner("spinstep", std::to_wstring(step), VK_RETURN);
      if (enabled("btnstart")) {
        ++shared.runs;
        clickNamed("btnstart");
      }
    } else if (r == 2) {
      logAction("continue", enabled("btncontinue") ? "" : "not enabled");
      if (enabled("btncontinue")) {
        ++shared.runs;
        clickNamed("btncontinue");
      }
    } else if (r == 3) {
      logAction("stop");
      clickNamed("btnstop");
    } else if (r == 4) {
      logAction("erase");
      clickNamed("btndelanim");
    } else {
      logAction("escape during run", enabled("btnstop") ? "running" : "idle");
      tap(VK_ESCAPE);
    }
  }

  void rollUp() {
    logAction("roll-up");
    clickNamed("BitBtn1");
  }

  void statusDoubleClick() {
    HWND s = control("Statusbar");
    if (!shown(s)) return;
    RECT r{};
    GetWindowRect(s, &r);
    const POINT p{r.left + 20 + static_cast<LONG>(roll(80)), (r.top + r.bottom) / 2};
    logAction("status bar double click");
    mouse(MOUSEEVENTF_MOVE, p);
    Sleep(20);
    for (int i = 0; i < 2; ++i) {
      mouse(MOUSEEVENTF_LEFTDOWN, p);
      Sleep(10);
      mouse(MOUSEEVENTF_LEFTUP, p);
      Sleep(30);
    }
    Sleep(60);
  }

  void info() {
    logAction("info button");
    clickNamed("btninfo");
  }

  void about() {
    HWND a = findAbout(view_);
    if (shown(a)) {
      logAction("about close");
      windowHides();
      if (!clickCloseBox(a)) PostMessageA(a, WM_CLOSE, 0, 0);
      return;
    }
    logAction("about open");
    clickNamed("Button1");
    Sleep(200);
    a = findAbout(view_);
    if (shown(a) && chance(30)) {
      logAction("about: the guide button");
      for (const auto& [name, w] : controlWindows(a))
        if (shown(w)) clickAtPoint(centreOf(w));
    }
  }

  void presets() {
    const unsigned r = roll(10);
    if (r < 3) return save(chance(15), freshName());
    if (r < 5 && !written_.empty()) return save(chance(15), written_[roll(static_cast<unsigned>(written_.size()))]);
    if (r < 7 && !written_.empty())
      return load(chance(15), written_[roll(static_cast<unsigned>(written_.size()))], "load");
    if (r < 8) return load(false, L"missing-\u00E4" + std::to_wstring(++serial_) + L".rmp", "load (missing file)");
    loadBadFile();
  }

  void selectByName() {
    if (!panelOpen() || !reveal("btnselbyname", 1)) return logAction("select by name", "page not enabled");
    static const wchar_t* const texts[] = {L"Effector", L"eff", L"", L"Rock", L"\u65E5\u672C", L"W", L"EFFECTOR-SOAK"};
    std::wstring text = chance(10) ? std::wstring(500, L'x') : texts[roll(std::size(texts))];
    const bool cancel = chance(20);
    {
      std::lock_guard<std::mutex> lock(shared.mutex);
      inputPlan = {true, cancel, text, L"Select by name"};
    }
    logAction("select by name", utf8(text.substr(0, 40)) + (cancel ? " (cancelled)" : ""));
    clickNamed("btnselbyname");
    settle();
    std::lock_guard<std::mutex> lock(shared.mutex);
    inputPlan.pending = false;
  }

  void closePanel() {
    logAction("close panel", enabled("btnstop") ? "during a run" : "");
    windowHides();
    if (!clickCloseBox(panel_)) PostMessageA(panel_, WM_CLOSE, 0, 0);
    Sleep(150);
  }

  void hostAct() {
    static const char* const kinds[] = {
        "host: delete water",     "host: add water",          "host: add water",       "host: rename water",
        "host: delete effector",  "host: rename effector",    "host: delete wind source", "host: rename wind source",
        "host: add object",       "host: add object",         "host: change selection", "host: select water",
        "host: select water",     "host: plug-in icon",
    };
    const std::string kind = kinds[roll(std::size(kinds))];
    hostEvent(kind);
    // Selecting the water in the host is followed by "Select Water".
    if (kind == "host: select water" && panelOpen() && reveal("btnselect", 0)) {
      Sleep(100);
      logAction("click", "btnselect");
      clickNamed("btnselect");
    }
  }

  std::mt19937 rng_;
  int seconds_;
  HWND view_;
  std::wstring folder_;
  bool measuredMinute_ = false;
  HWND panel_ = nullptr;
  std::map<std::string, HWND> controls_;
  std::vector<std::string> spinners_;
  std::vector<std::wstring> written_;
  std::size_t referenceLines_ = 0;
  int serial_ = 0;
};

// From minute 1 to the end nothing may pile up: the same windows and
// threads, memory within a margin (the scene holds the keys of the runs
// and the objects the host added, both bounded, so it varies a little).
constexpr long long kSoakMemoryMargin = 8 * 1024 * 1024;
constexpr long long kSoakThreadMargin = 2;

void checkResources(const Resources& minute, const Resources& end) {
  if (end.windows != minute.windows)
    fail("windows: " + std::to_string(minute.windows) + " after minute 1, " + std::to_string(end.windows) + " at the end");
  if (end.threads - minute.threads > kSoakThreadMargin)
    fail("threads: " + std::to_string(minute.threads) + " after minute 1, " + std::to_string(end.threads) + " at the end");
  if (end.committedPrivate - minute.committedPrivate > kSoakMemoryMargin)
    fail("committed memory grew by " + std::to_string((end.committedPrivate - minute.committedPrivate) / 1024) + " KiB");
  if (end.heapBytes - minute.heapBytes > kSoakMemoryMargin)
    fail("heap memory in use grew by " + std::to_string((end.heapBytes - minute.heapBytes) / 1024) + " KiB");
}

void buildScene() {
  const Handle water = addWater();
  std::vector<float> xyz(3 * kGridVertices);
  host.ref.getVertices(water, xyz.data(), kGridVertices);
  host.restXY.resize(2 * kGridVertices);
  for (int i = 0; i < kGridVertices; ++i) {
    host.restXY[2 * i] = xyz[3 * i];
    host.restXY[2 * i + 1] = xyz[3 * i + 1];
  }
  const char* const effectors[] = {"Effector-Ball", "Effector-Stone"};
  for (int i = 0; i < 2; ++i) {
    const Handle ball = host.ref.createSphere(12, 6, 0.4f);
    host.ref.sceneAddObject(ball, 1);
    host.ref.setName(ball, effectors[i]);
    host.ref.addLocationKey(ball, 0.0f, 1.0f - 2.0f * static_cast<float>(i), -0.5f, 2.0f);
    host.ref.addLocationKey(ball, 80.0f, 1.0f - 2.0f * static_cast<float>(i), -0.5f, -2.0f);
  }
  const Handle rock = host.ref.createSphere(6, 4, 0.3f);
  host.ref.sceneAddObject(rock, 1);
  host.ref.setName(rock, "Rock");
  using AddGroupFn = Handle(__cdecl*)(const char*, int, Handle);
  const auto addGroup = proc<AddGroupFn>(host.api, "refhost_add_group");
  const Handle container = addGroup ? addGroup("Container", 202, nullptr) : nullptr;
  host.ref.addGrid("Crate", 3, 3, 1.0f, 1.0f, 0.5f, container);
  host.ref.addGrid("Dock", 5, 2, 2.0f, 0.5f, 0.1f, nullptr);
  host.ref.select(water);
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

}  // namespace

int runSoak(int seconds, unsigned seed) {
  shared.seed = seed;
  shared.verbose = GetEnvironmentVariableA("RILLMARK_SOAK_VERBOSE", nullptr, 0) > 0;
  host.rng.seed(seed ^ 0x5EEDu);
  SetUnhandledExceptionFilter(onCrash);
  host.view = createMainView(hostViewProc, "RillmarkSoakHostView", "Soak host main view");
  host.api = startReferenceHost(host.ref, host.view);
  if (host.api == nullptr) return 1;
  host.ref.setRecording(0);  // the call record would grow all along
  host.firstNode = proc<FirstFn>(host.api, "tsxSceneGetFirstNode");
  host.firstChild = proc<NodeFn>(host.api, "tsxGNodeGetFirstChild");
  host.next = proc<NodeFn>(host.api, "tsxGNodeGetNext");
  check(host.firstNode && host.firstChild && host.next, "the host's scene walk functions resolve");
  if (!host.firstNode || !host.firstChild || !host.next) return 1;
  buildScene();

  std::unique_ptr<DialogAnswerer> dialogs = std::make_unique<DialogAnswerer>();
  HWND panel = openPluginPanel(host.plugin, host.view);
  if (panel == nullptr) return 1;
  redirectImport(host.plugin.module, "SHELL32.dll", "ShellExecuteW", reinterpret_cast<void*>(&ignoredShellExecuteW));
  SetForegroundWindow(panel);
  shared.panel = panel;
  pump(200);
  checkScene();

  const std::wstring folder = soakFolder();
  shared.startTick = GetTickCount();
  SetTimer(host.view, kHostTimer, 50, nullptr);
  {
    Prober prober(host.view);
    User user(seed, seconds, host.view, folder);
    std::thread userThread([&] { user.run(); });
    // The host's loop: it only translates and dispatches.
    while (!shared.userDone) pump(20);
    userThread.join();
    pump(300);
  }
  KillTimer(host.view, kHostTimer);
  if (!shared.failed) checkScene();

  const DWORD elapsed = GetTickCount() - shared.startTick;
  std::printf("soak: seed %u, %lu s, %lld actions\n", seed, static_cast<unsigned long>(elapsed / 1000),
              shared.actions.load());
  std::printf("actions per kind:\n");
  for (const auto& [kind, n] : shared.perKind) std::printf("  %-28s %lld\n", kind.c_str(), n);
  std::printf("runs started: %lld\nfiles written: %lld\nmessage boxes answered: %lld\nprobes answered: %lld\n",
              shared.runs.load(), shared.filesWritten.load(), shared.messageBoxes.load(), shared.probes.load());
  std::printf("scene checks: %lld; the last: %s\n", shared.sceneChecks.load(), shared.lastFigures.c_str());
  if (shared.measured[0]) print("after minute 1", shared.resources[0]);
  if (shared.measured[1]) print("at the end", shared.resources[1]);
  if (shared.measured[0] && shared.measured[1]) checkResources(shared.resources[0], shared.resources[1]);
  check(!shared.failed, "the soak kept every invariant (seed " + std::to_string(seed) + ")");

  if (HWND about = findAbout(host.view)) SendMessageA(about, WM_CLOSE, 0, 0);
  if (HWND p = findPanel()) SendMessageA(p, WM_CLOSE, 0, 0);
  pump(100);
  FreeLibrary(host.plugin.module);
  pump(50);
  dialogs.reset();
  FreeLibrary(host.api);
  DestroyWindow(host.view);
  removeFolder(folder);
  return failures == 0 ? 0 : 1;
}

}  // namespace rillmark::testhost
