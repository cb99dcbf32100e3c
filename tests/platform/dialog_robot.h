// Plays the user at the modal dialogs a test provokes on its own thread.
// A helper thread waits for the first dialog the test thread shows, hands
// it to the test's action (which reads it, fills it in and presses a
// button), then answers every further box that appears before that dialog
// closes (an overwrite prompt, say) with Yes or OK and keeps its text.
//
// Every wait is bounded: if the dialog never appears or never closes, the
// robot closes the test thread's dialogs itself, so the modal call returns
// and the test fails instead of hanging.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace rillmark::testing {

inline constexpr DWORD kDialogAppearsWithinMs = 60000;
inline constexpr DWORD kDialogClosesWithinMs = 30000;
inline constexpr DWORD kPollMs = 20;

inline bool isVisibleDialog(HWND window) {
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  return IsWindowVisible(window) && lstrcmpW(cls, L"#32770") == 0;
}

struct DialogSearch {
  HWND except;
  std::vector<HWND> found;
};

inline BOOL CALLBACK collectVisibleDialog(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<DialogSearch*>(lParam);
  if (window != search->except && isVisibleDialog(window)) search->found.push_back(window);
  return TRUE;
}

// The visible dialogs of a thread, other than `except`.
inline std::vector<HWND> visibleDialogs(DWORD thread, HWND except = nullptr) {
  DialogSearch search{except, {}};
  EnumThreadWindows(thread, collectVisibleDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline void press(HWND dialog, int button) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

inline std::wstring windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

// The message of a message box: its static control 0xFFFF.
inline std::wstring messageText(HWND box) { return windowText(GetDlgItem(box, 0xFFFF)); }

inline BOOL CALLBACK keepFirstEdit(HWND child, LPARAM lParam) {
  wchar_t cls[16] = {};
  GetClassNameW(child, cls, 16);
  if (lstrcmpiW(cls, L"Edit") != 0) return TRUE;
  *reinterpret_cast<HWND*>(lParam) = child;
  return FALSE;
}

// The edit control where the user types the file name: inside the
// explorer dialog's combo box cmb13, or the older dialog's edt1.
inline HWND fileNameEdit(HWND dialog) {
  HWND field = GetDlgItem(dialog, cmb13);
  if (field == nullptr) return GetDlgItem(dialog, edt1);
  HWND edit = nullptr;
  EnumChildWindows(field, keepFirstEdit, reinterpret_cast<LPARAM>(&edit));
  return edit != nullptr ? edit : field;
}

// Types a name as a user would and presses the default button.
inline void typeFileNameAndPressOk(HWND dialog, const std::wstring& name) {
  SendMessageW(fileNameEdit(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  press(dialog, IDOK);
}

// The entries of the "Files of type" box: the filter's descriptions.
inline std::vector<std::wstring> fileTypes(HWND dialog) {
  std::vector<std::wstring> types;
  const LRESULT count = SendDlgItemMessageW(dialog, cmb1, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendDlgItemMessageW(dialog, cmb1, CB_GETLBTEXTLEN, i, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendDlgItemMessageW(dialog, cmb1, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    types.push_back(text);
  }
  return types;
}

class DialogRobot {
 public:
  // Watches the calling thread.
  explicit DialogRobot(std::function<void(HWND dialog)> act)
      : thread_(GetCurrentThreadId()), act_(std::move(act)), worker_([this] { run(); }) {}
  ~DialogRobot() { finish(); }
  DialogRobot(const DialogRobot&) = delete;
  DialogRobot& operator=(const DialogRobot&) = delete;

  // Waits for the robot; true when it found the dialog and saw it close.
  bool finish() {
    if (worker_.joinable()) worker_.join();
    return sawDialog_ && closed_;
  }
  // The texts of the boxes answered after the first dialog; after finish().
  const std::vector<std::wstring>& answeredBoxes() const { return boxes_; }

 private:
  void run() {
    HWND dialog = nullptr;
    for (DWORD waited = 0; dialog == nullptr && waited < kDialogAppearsWithinMs; waited += kPollMs) {
      const std::vector<HWND> found = visibleDialogs(thread_);
      if (!found.empty()) {
        dialog = found.front();
      } else {
        Sleep(kPollMs);
      }
    }
    if (dialog == nullptr) return;
    sawDialog_ = true;
    act_(dialog);

    std::vector<HWND> answered;
    for (DWORD waited = 0; waited < kDialogClosesWithinMs; waited += kPollMs) {
      if (!IsWindow(dialog)) {
        closed_ = true;
        return;
      }
      for (HWND box : visibleDialogs(thread_, dialog)) {
        bool seen = false;
        for (HWND h : answered) seen = seen || h == box;
        if (seen) continue;
        answered.push_back(box);
        boxes_.push_back(messageText(box));
        press(box, GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK);
      }
      Sleep(kPollMs);
    }
    // Stuck: cancel everything so that the test thread gets its call back.
    for (HWND box : visibleDialogs(thread_)) press(box, IDCANCEL);
  }

  const DWORD thread_;
  std::function<void(HWND)> act_;
  std::atomic<bool> sawDialog_{false};
  std::atomic<bool> closed_{false};
  std::vector<std::wstring> boxes_;
  std::thread worker_;
};

}  // namespace rillmark::testing
