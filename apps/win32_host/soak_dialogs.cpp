#include "soak_dialogs.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "panel_driver.h"
#include "soak_state.h"

namespace rillmark::testhost::soak {

namespace {

constexpr int kInputEditId = 100;    // the edit box of the plug-in's input dialog
constexpr int kFileNameEdit = 0x480;   // edt1, the file name of an old-style file dialog
constexpr int kFileNameCombo = 0x47C;  // cmb13, the same in an Explorer-style one
constexpr DWORD kTypedTextWaitMs = 3000;

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

struct DialogPlan {
  bool pending = false;
  bool cancel = false;
  std::wstring text;
  // The dialog the plan is for, by its caption: a random click on the
  // other file button may open the other file dialog first.
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

// What an edit box of the ANSI code page holds after `text` is typed into it.
std::wstring throughAnsi(const std::wstring& text) {
  if (text.empty()) return text;
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), n, nullptr, nullptr);
  const int m = MultiByteToWideChar(CP_ACP, 0, ansi.data(), n, nullptr, 0);
  std::wstring back(static_cast<std::size_t>(m), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), n, back.data(), m);
  return back;
}

void tap(WORD key) {
  sendKey(key, false);
  sendKey(key, true);
  Sleep(30);
}

void click(HWND window) {
  const POINT p = centreOf(window);
  sendMouse(MOUSEEVENTF_MOVE, p);
  Sleep(30);
  sendMouse(MOUSEEVENTF_LEFTDOWN, p);
  Sleep(30);
  sendMouse(MOUSEEVENTF_LEFTUP, p);
  Sleep(60);
}

// As a user answers: a click on the edit, its old text selected and
// deleted, the text typed, then Enter, or a click on Cancel. When the edit
// does not come to hold the text (the keys went elsewhere), the dialog is
// cancelled instead and the miss counted.
void answerByTyping(HWND dialog, HWND edit, const std::wstring& text, bool cancel, bool fileDialog) {
  click(edit);
  tap(VK_HOME);
  sendKey(VK_SHIFT, false);
  tap(VK_END);
  sendKey(VK_SHIFT, true);
  tap(VK_DELETE);
  typeText(text);
  // An edit of an ANSI dialog may keep the characters or their code page
  // version (Wine keeps them).
  const std::wstring ansi = throughAnsi(text);
  bool holds = false;
  // The keys wait in the host thread's queue: a long text takes a while.
  const DWORD wait = kTypedTextWaitMs + 20 * static_cast<DWORD>(text.size());
  for (DWORD waited = 0; !holds && waited < wait; waited += 50) {
    const std::wstring held = wideText(edit);
    holds = held == text || (!IsWindowUnicode(edit) && held == ansi);
    if (!holds) Sleep(50);
  }
  if (!holds) {
    ++state.typingMissed;
    const std::wstring held = wideText(edit);
    const std::string what = utf8(wideText(dialog)) + ": typed " + std::to_string(text.size()) + " characters, the edit holds " +
                             std::to_string(held.size()) + ", \"" + utf8(held.substr(0, 60)) + "\"";
    logAction("dialog: typing missed, cancelled", what);
    std::printf("typing missed in %s\n", what.c_str());
    std::fflush(stdout);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return;
  }
  ++state.typedAnswers;
  if (!cancel) {
    if (fileDialog) ++state.fileNamesGiven;
    return tap(VK_RETURN);
  }
  HWND cancelButton = GetDlgItem(dialog, IDCANCEL);
  if (cancelButton != nullptr && IsWindowVisible(cancelButton)) click(cancelButton);
  else tap(VK_ESCAPE);
}

// The edit box a file dialog takes its file name from.
HWND fileNameEdit(HWND dialog) {
  if (HWND edit = GetDlgItem(dialog, kFileNameEdit)) return edit;
  HWND combo = GetDlgItem(dialog, kFileNameCombo);
  if (combo == nullptr) return nullptr;
  HWND inner = FindWindowExW(combo, nullptr, L"Edit", nullptr);
  return inner != nullptr ? inner : combo;
}

void answer(HWND dialog) {
  const std::wstring caption = wideText(dialog);
  if (HWND fileName = fileNameEdit(dialog)) {
    DialogPlan plan;
    {
      std::lock_guard<std::mutex> lock(state.mutex);
      plan = filePlan;
      // A plan for the other kind of dialog stays for its own.
      if (plan.dialog == caption) filePlan.pending = false;
    }
    if (!plan.pending || plan.dialog != caption) {
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return;
    }
    answerByTyping(dialog, fileName, plan.text, plan.cancel, true);
    return;
  }
  if (caption == L"Select by name" && GetDlgItem(dialog, kInputEditId) != nullptr) {
    DialogPlan plan;
    {
      std::lock_guard<std::mutex> lock(state.mutex);
      plan = inputPlan;
      inputPlan.pending = false;
    }
    if (!plan.pending) {
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return;
    }
    answerByTyping(dialog, GetDlgItem(dialog, kInputEditId), plan.text, plan.cancel, false);
    return;
  }
  const std::wstring message = boxMessage(dialog);
  if (caption == L"Rillmark") {
    ++state.messageBoxes;
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

struct Seen {
  HWND window;
  DWORD since;
  bool answered;
  bool cancelled;
};

}  // namespace

void planFileDialog(const std::wstring& caption, const std::wstring& path, bool cancel) {
  std::lock_guard<std::mutex> lock(state.mutex);
  filePlan = {true, cancel, path, caption};
}

void planSelectByName(const std::wstring& text, bool cancel) {
  std::lock_guard<std::mutex> lock(state.mutex);
  inputPlan = {true, cancel, text, L"Select by name"};
}

bool planPending() {
  std::lock_guard<std::mutex> lock(state.mutex);
  return filePlan.pending || inputPlan.pending;
}

void dropPlans() {
  std::lock_guard<std::mutex> lock(state.mutex);
  filePlan.pending = inputPlan.pending = false;
}

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

void DialogAnswerer::run() {
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
      if (!known) ++state.dialogsSeen;
      if (!IsWindowVisible(d)) entry.since = GetTickCount();
      // Answered once it has been up a moment; cancelled if that did
      // not end it; a failure if nothing does.
      const DWORD age = GetTickCount() - entry.since;
      if (!entry.answered && age >= 150) {
        entry.answered = true;
        answer(d);
        entry.since = GetTickCount();  // typing takes a while; the deadlines count from its end
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
    state.dialogsOpen = open;
    Sleep(40);
  }
}

}  // namespace rillmark::testhost::soak
