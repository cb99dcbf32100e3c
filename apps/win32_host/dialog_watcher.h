// Answers the message boxes a Win32 test program provokes: a thread finds
// each dialog of this process, reads the text of its message, and presses
// OK, so that a modal box raised deep inside a call returns and the test
// can compare the text word for word.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace rillmark::testhost {

class DialogWatcher {
 public:
  DialogWatcher() : thread_([this] { run(); }) {}
  ~DialogWatcher() {
    stop_ = true;
    thread_.join();
  }
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  // The texts answered so far, oldest first; empties the list.
  std::vector<std::string> take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> texts;
    texts.swap(texts_);
    return texts;
  }

 private:
  // The message of a message box is its static control 0xFFFF; failing
  // that, the longest text among its static children.
  static BOOL CALLBACK keepLongestStatic(HWND child, LPARAM lParam) {
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) {
      char text[2048] = {};
      GetWindowTextA(child, text, sizeof text);
      auto* longest = reinterpret_cast<std::string*>(lParam);
      if (std::string(text).size() > longest->size()) *longest = text;
    }
    return TRUE;
  }

  static std::string messageOf(HWND dialog) {
    char buffer[2048] = {};
    if (GetDlgItemTextA(dialog, 0xFFFF, buffer, sizeof buffer) > 0) return buffer;
    std::string longest;
    EnumChildWindows(dialog, keepLongestStatic, reinterpret_cast<LPARAM>(&longest));
    return longest;
  }

  void run() {
    std::vector<HWND> answered;
    while (!stop_) {
      HWND dialog = nullptr;
      while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(dialog, &process);
        if (process != GetCurrentProcessId() || !IsWindowVisible(dialog)) continue;
        bool seen = false;
        for (HWND h : answered) seen = seen || h == dialog;
        if (seen) continue;
        const std::string text = messageOf(dialog);
        {
          std::lock_guard<std::mutex> lock(mutex_);
          texts_.push_back(text);
        }
        answered.push_back(dialog);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      }
      // A handle answered earlier may be reused by a later box.
      std::vector<HWND> still;
      for (HWND h : answered)
        if (IsWindow(h)) still.push_back(h);
      answered.swap(still);
      Sleep(20);
    }
  }

  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::string> texts_;
  std::thread thread_;
};

}  // namespace rillmark::testhost
