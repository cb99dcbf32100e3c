#include "soak_user.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "panel_driver.h"
#include "soak_dialogs.h"
#include "soak_host.h"
#include "soak_presets.h"
#include "soak_state.h"

namespace rillmark::testhost::soak {

namespace {

constexpr std::size_t kPresetLines = 10;  // a preset file's lines, one number each

void tap(WORD vk) {
  sendKey(vk, false);
  sendKey(vk, true);
  Sleep(40);
}

bool shown(HWND w) { return w != nullptr && IsWindow(w) && IsWindowVisible(w); }

enum RunKind : unsigned { kStart = 0, kContinue = 2, kStop = 3, kErase = 4, kEscape = 5, kRunKinds = 6 };

}  // namespace

void User::run() {
  const DWORD end = state.startTick + static_cast<DWORD>(seconds_) * 1000;
  const DWORD baselineAt = baselineAfterMs(seconds_);
  primeEveryKind();
  while (!state.stop && GetTickCount() < end) {
    if (!measured[0] && GetTickCount() - state.startTick >= baselineAt) measure(0);
    act();
    Sleep(20 + rng_() % 120);
  }
  if (!state.failed && measured[0]) measure(1);
  stopRun();
  state.userDone = true;
}

// ----------------------------------------------------------- the panel

// The panel's controls, found again whenever the panel was rebuilt.
void User::refresh() {
  HWND panel = state.panel;
  if (panel != panel_) {
    panel_ = panel;
    controls_ = panel ? controlWindows(panel) : std::map<std::string, HWND>{};
    spinners_.clear();
    for (const auto& [name, window] : controls_)
      if (name.rfind("spin", 0) == 0) spinners_.push_back(name);
  }
}

HWND User::control(const std::string& name) {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

bool User::panelOpen() {
  refresh();
  return panel_ != nullptr && IsWindow(panel_);
}

bool User::enabled(const std::string& name) {
  HWND w = control(name);
  return shown(w) && IsWindowEnabled(w);
}

POINT User::pointIn(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  const LONG width = std::max<LONG>(1, r.right - r.left - 4), height = std::max<LONG>(1, r.bottom - r.top - 4);
  return {r.left + 2 + static_cast<LONG>(roll(static_cast<unsigned>(width))),
          r.top + 2 + static_cast<LONG>(roll(static_cast<unsigned>(height)))};
}

void User::clickAtPoint(POINT p, bool right) {
  sendMouse(MOUSEEVENTF_MOVE, p);
  Sleep(20);
  sendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, p);
  Sleep(20 + roll(60));
  sendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, p);
  Sleep(60);
}

bool User::clickNamed(const std::string& name) {
  HWND w = control(name);
  if (!shown(w)) return false;
  clickAtPoint(centreOf(w));
  return true;
}

bool User::clickTab(int index) {
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
bool User::reveal(const std::string& name, int tab) {
  if (shown(control(name))) return true;
  clickTab(tab);
  return shown(control(name));
}

// The close box of a captioned window, found by hit-testing its caption.
bool User::clickCloseBox(HWND window) {
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

std::string User::visibleSpinner() {
  std::vector<std::string> shownOnes;
  for (const auto& s : spinners_)
    if (shown(control(s))) shownOnes.push_back(s);
  return shownOnes.empty() ? std::string() : shownOnes[roll(static_cast<unsigned>(shownOnes.size()))];
}

void User::typeIntoSpinner(const std::string& spinner, const std::wstring& text, WORD finalKey) {
  HWND edit = nullptr;
  if (HWND sp = control(spinner)) {
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

// Waits until the click's dialogs are answered and the host's UI thread
// is back in a message loop (the handler has returned).
void User::settle() {
  for (int i = 0; i < 400; ++i) {
    Sleep(50);
    bool pending = planPending();
    // A click that opened no dialog (it landed elsewhere, or a run holds
    // the host) leaves the plan unused.
    if (pending && i >= 60 && state.dialogsOpen == 0) {
      dropPlans();
      pending = false;
    }
    if (pending || state.dialogsOpen > 0) continue;
    Sleep(200);
    if (state.dialogsOpen > 0) continue;
    DWORD_PTR r = 0;
    if (SendMessageTimeoutA(view_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r) && state.dialogsOpen == 0) return;
  }
}

// No run may go on. Stop stays enabled after a run ends, so a run is
// over when the status bar's frame count has stood still a while.
void User::stopRun() {
  if (!panelOpen()) return;
  HWND status = control("Statusbar");
  std::string last = windowText(status);
  for (int i = 0, still = 0; i < 150 && still < 4 && panelOpen(); ++i) {
    if (still == 0 && enabled("btnstop")) PostMessageA(control("btnstop"), BM_CLICK, 0, 0);
    Sleep(150);
    const std::string now = windowText(status);
    still = now == last ? still + 1 : 0;
    last = now;
  }
}

// ------------------------------------------------------ the measurements

// Every kind of action once, so that what Wine and the plug-in make once
// per process (the file dialog's shell objects, the About window's
// class, the fonts) exists before the baseline.
void User::primeEveryKind() {
  save(false, freshName());
  save(false, written_.empty() ? freshName() : written_.front());
  save(true, freshName());
  if (!written_.empty()) {
    load(false, written_.front(), "load");
    load(true, written_.front(), "load");
  }
  load(false, L"missing-\u00E4" + std::to_wstring(++serial_) + L".rmp", "load (missing file)");
  loadBadFile();
  // Start chooses the water first, which enables the page of Select by Name.
  for (unsigned kind : {kStart, kStop, kContinue, kEscape, kErase}) runAction(kind);
  stopRun();
  selectByName(L"Effector", false);
  selectByName(L"Rock", true);
  for (int tab = 2; tab >= 0; --tab) {
    logAction("tab", std::to_string(tab));
    clickTab(tab);
  }
  drag();
  typing();
  rightClick();
  for (int i = 0; i < 2; ++i) {
    rollUp();
    statusDoubleClick();
    info();
    about();
  }
  closePanel();
  reopenPanel();
  for (const char* kind : {"host: add object", "host: rename effector", "host: delete effector",
                           "host: rename wind source", "host: delete wind source", "host: change selection"})
    hostEvent(kind);
  settle();
}

// One state for both measurements: no run, no dialog, the About window
// closed, the scene as it was built, the water chosen again and run
// briefly, its keys erased, and a panel made afresh.
void User::comparableState() {
  stopRun();
  settle();
  HWND about = findAbout(view_);
  if (about != nullptr && IsWindowVisible(about)) {
    windowHides();
    PostMessageA(about, WM_CLOSE, 0, 0);
  }
  if (!panelOpen()) reopenPanel();
  onHostThread("host: rebuild the scene", [] {
    rebuildScene();
    logAction("host: rebuild the scene");
  });
  // A short run on the new water, so that the plug-in holds its copies of
  // it at both measurements, then its keys erased.
  if (reveal("btnselect", 0)) {
    logAction("click", "btnselect");
    clickNamed("btnselect");
    settle();
    typeIntoSpinner("spinend", L"5", VK_RETURN);
    typeIntoSpinner("spinstep", L"1", VK_RETURN);
    if (enabled("btnstart")) {
      logAction("start", "End 5, Step 1, for the measurement");
      clickNamed("btnstart");
      settle();
      stopRun();
      logAction("erase", "for the measurement");
      clickNamed("btndelanim");
      settle();
    }
  }
  closePanel();
  reopenPanel();
  settle();
  Sleep(500);
}

void User::measure(int index) {
  comparableState();
  Measurement* m = &measurements[index];
  const auto liveNodes = proc<int(__cdecl*)()>(host.api, "refhost_live_node_count");
  onHostThread("measure", [m, liveNodes] {
    *m = measureProcess();
    m->sceneNodes = liveNodes ? liveNodes() : -1;
    m->fileNamesGiven = state.fileNamesGiven;
  });
  measured[index] = !state.failed;
  logAction("measure", index == 0 ? "the baseline" : "the end");
}

// --------------------------------------------------------------- actions

void User::act() {
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
  if (r < 50) return runAction(roll(kRunKinds));
  if (r < 53) return oneOf({[this] { rollUp(); }, [this] { statusDoubleClick(); }});
  if (r < 57) return oneOf({[this] { info(); }, [this] { about(); }});
  if (r < 64) return presets();
  if (r < 66) {
    static const wchar_t* const texts[] = {L"Effector", L"eff", L"", L"Rock", L"\u65E5\u672C", L"W", L"EFFECTOR-SOAK"};
    const std::wstring text = chance(10) ? std::wstring(500, L'x') : texts[roll(std::size(texts))];
    return selectByName(text, chance(20));
  }
  if (r < 68) return closePanel();
  if (r < 70) return rightClick();
  return hostAct();
}

void User::oneOf(std::initializer_list<std::function<void()>> fs) {
  auto it = fs.begin();
  std::advance(it, roll(static_cast<unsigned>(fs.size())));
  (*it)();
}

void User::clickAny() {
  std::vector<std::string> names;
  for (const auto& [name, w] : controls_)
    if (name != "edit" && shown(w)) names.push_back(name);
  if (names.empty()) return;
  const std::string name = names[roll(static_cast<unsigned>(names.size()))];
  logAction("click", name);
  HWND w = control(name);
  if (name == "btnstart" || name == "btncontinue")
    if (IsWindowEnabled(w)) ++state.runs;
  clickAtPoint(pointIn(w));
}

void User::tabChange() {
  const int tab = static_cast<int>(roll(3));
  logAction("tab", std::to_string(tab));
  clickTab(tab);
}

void User::drag() {
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
  sendMouse(MOUSEEVENTF_MOVE, p);
  Sleep(20);
  sendMouse(MOUSEEVENTF_LEFTDOWN, p);
  for (int i = 0; i < steps; ++i) {
    p.x += dx;
    sendMouse(MOUSEEVENTF_MOVE, p);
    Sleep(pause);
  }
  sendMouse(MOUSEEVENTF_LEFTUP, p);
  Sleep(60);
}

void User::rightClick() {
  const std::string s = visibleSpinner();
  if (s.empty()) return;
  logAction("right click", s);
  clickAtPoint(pointIn(control(s)), true);
}

std::wstring User::randomTyping() {
  static const wchar_t* const pieces[] = {L"0",  L"1",     L"7",     L"42",   L".",     L",",    L"\u00A0", L"'",
                                          L"-",  L"+",     L"e",     L"E",    L"e-",    L"1e38", L"1e-45",   L"abc",
                                          L" ",  L"\u066B", L"\u00E9", L"1e400", L"-0",   L"nan",  L"inf",     L"0x1p3",
                                          L"99999999999", L"0.000001", L"3.5", L"2,5"};
  if (chance(5)) return std::wstring(300 + roll(400), L'9');
  std::wstring text;
  const unsigned n = 1 + roll(5);
  for (unsigned i = 0; i < n; ++i) text += pieces[roll(std::size(pieces))];
  return text;
}

void User::typing() {
  const std::string s = visibleSpinner();
  if (s.empty()) return;
  static const WORD finals[] = {VK_RETURN, VK_TAB, VK_ESCAPE, 0};
  const WORD final = finals[roll(4)];
  const std::wstring text = randomTyping();
  logAction("typed text", s + " \"" + utf8(text.size() > 40 ? text.substr(0, 40) + L"..." : text) + "\" + " +
                              (final == VK_RETURN ? "Enter" : final == VK_TAB ? "Tab" : final == VK_ESCAPE ? "Escape" : "nothing"));
  typeIntoSpinner(s, text, final);
}

void User::keys() {
  static const WORD ks[] = {VK_RETURN, VK_TAB, VK_ESCAPE};
  static const char* const names[] = {"Enter", "Tab", "Escape"};
  const unsigned i = roll(3);
  logAction("key", names[i]);
  tap(ks[i]);
}

// kStart (and 1, as often), kContinue, kStop, kErase or kEscape.
void User::runAction(unsigned kind) {
  if (kind <= 1) {
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
      ++state.runs;
      clickNamed("btnstart");
    }
  } else if (kind == kContinue) {
    logAction("continue", enabled("btncontinue") ? "" : "not enabled");
    if (enabled("btncontinue")) {
      ++state.runs;
      clickNamed("btncontinue");
    }
  } else if (kind == kStop) {
    logAction("stop");
    clickNamed("btnstop");
  } else if (kind == kErase) {
    logAction("erase");
    clickNamed("btndelanim");
  } else {
    logAction("escape during run", enabled("btnstop") ? "running" : "idle");
    tap(VK_ESCAPE);
  }
}

void User::rollUp() {
  logAction("roll-up");
  clickNamed("BitBtn1");
}

void User::statusDoubleClick() {
  HWND s = control("Statusbar");
  if (!shown(s)) return;
  RECT r{};
  GetWindowRect(s, &r);
  const POINT p{r.left + 20 + static_cast<LONG>(roll(80)), (r.top + r.bottom) / 2};
  logAction("status bar double click");
  sendMouse(MOUSEEVENTF_MOVE, p);
  Sleep(20);
  for (int i = 0; i < 2; ++i) {
    sendMouse(MOUSEEVENTF_LEFTDOWN, p);
    Sleep(10);
    sendMouse(MOUSEEVENTF_LEFTUP, p);
    Sleep(30);
  }
  Sleep(60);
}

void User::info() {
  logAction("info button");
  clickNamed("btninfo");
}

void User::about() {
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

void User::closePanel() {
  if (!panelOpen()) return;
  logAction("close panel", enabled("btnstop") ? "during a run" : "");
  windowHides();
  if (!clickCloseBox(panel_)) PostMessageA(panel_, WM_CLOSE, 0, 0);
  Sleep(150);
}

void User::reopenPanel() {
  // A closed panel goes once no handler of it runs any more.
  for (int i = 0; i < 50 && panelOpen() && !IsWindowVisible(panel_); ++i) Sleep(100);
  for (int i = 0; i < 50 && !(panelOpen() && IsWindowVisible(panel_)); ++i) {
    if (i % 10 == 0) hostEvent("host: plug-in icon");
    Sleep(100);
  }
}

void User::hostAct() {
  static const char* const kinds[] = {
      "host: delete water",    "host: add water",        "host: add water",          "host: rename water",
      "host: delete effector", "host: rename effector",  "host: delete wind source", "host: rename wind source",
      "host: add object",      "host: add object",       "host: change selection",   "host: select water",
      "host: select water",    "host: plug-in icon",
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

// ---------------------------------------------------------------- presets

std::wstring User::freshName() {
  static const wchar_t* const stems[] = {L"preset", L"Wasser", L"\u00E9t\u00E9", L"\u65E5\u672C\u8A9E", L"\u043C\u0438\u0440",
                                         L"a b",    L"x",      L"\u0391\u03C9"};
  return stems[roll(std::size(stems))] + std::to_wstring(++serial_) + L".rmp";
}

void User::presets() {
  const unsigned r = roll(10);
  if (r < 3) return save(chance(15), freshName());
  if (r < 5 && !written_.empty()) return save(chance(15), written_[roll(static_cast<unsigned>(written_.size()))]);
  if (r < 7 && !written_.empty()) return load(chance(15), written_[roll(static_cast<unsigned>(written_.size()))], "load");
  if (r < 8) return load(false, L"missing-\u00E4" + std::to_wstring(++serial_) + L".rmp", "load (missing file)");
  loadBadFile();
}

// Save or Load clicked and its dialogs answered while `watcher` reads the
// file all along.
void User::clickWatching(const std::string& button, const std::wstring& name, PresetWatcher&& watcher) {
  clickNamed(button);
  settle();
  dropPlans();
  const std::string problem = watcher.finish();
  state.presetReads += watcher.reads();
  if (!problem.empty()) fail("while " + button + " had preset " + utf8(name) + " in hand, " + problem);
}

// The file is read all through the save: its old content or a complete
// preset, never anything between.
void User::save(bool cancel, const std::wstring& name) {
  if (!panelOpen() || !reveal("btnsave", 0)) return;
  const std::wstring path = folder_ + name;
  std::string before;
  const bool existed = readFile(path, before);
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  const FILETIME writtenBefore =
      GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes) ? attributes.ftLastWriteTime : FILETIME{};
  planFileDialog(L"Save As", path, cancel);
  logAction(cancel ? "save (cancelled)" : existed ? "save (overwrite)" : "save", utf8(name));
  clickWatching("btnsave", name, PresetWatcher(path, existed, before, !cancel, kPresetLines));

  std::string after;
  const bool exists = readFile(path, after);
  const bool old = exists == existed && (!exists || after == before);
  if (!old && !(exists && isCompletePreset(after, kPresetLines)))
    fail("preset " + utf8(name) + " is neither its old content nor a complete new one (" +
         std::to_string(lineCount(after)) + " lines, " + std::to_string(after.size()) + " bytes)");
  if (cancel && !old) fail("a cancelled save changed " + utf8(name));
  const FILETIME writtenAfter =
      GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes) ? attributes.ftLastWriteTime : FILETIME{};
  if (exists && (!old || CompareFileTime(&writtenBefore, &writtenAfter) != 0)) {
    ++state.filesWritten;
    if (std::find(written_.begin(), written_.end(), name) == written_.end()) written_.push_back(name);
  }
  if (leftoverTemporaries(folder_)) fail("a save left its temporary file beside " + utf8(name));
}

void User::load(bool cancel, const std::wstring& name, const std::string& kind) {
  if (!panelOpen() || !reveal("btnload", 0)) return;
  const std::wstring path = folder_ + name;
  std::string before;
  const bool existed = readFile(path, before);
  planFileDialog(L"Open", path, cancel);
  logAction(kind, utf8(name));
  clickWatching("btnload", name, PresetWatcher(path, existed, before, false, kPresetLines));
}

// A preset whose lines are damaged: a line replaced, or the file cut short.
void User::loadBadFile() {
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

void User::selectByName(const std::wstring& text, bool cancel) {
  if (!panelOpen() || !reveal("btnselbyname", 1)) return logAction("select by name", "page not enabled");
  planSelectByName(text, cancel);
  logAction("select by name", utf8(text.substr(0, 40)) + (cancel ? " (cancelled)" : ""));
  clickNamed("btnselbyname");
  settle();
  dropPlans();
}

}  // namespace rillmark::testhost::soak
