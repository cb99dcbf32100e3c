// The soak's answers to every dialog the plug-in opens. A thread finds
// each dialog of this process: a message box must show one of the
// plug-in's own texts and gets OK; a file dialog or the Select by Name
// dialog the user planned for gets the planned text typed into its edit
// with the keyboard after a click on that edit, then Enter, or a click on
// Cancel; any other dialog is cancelled. A dialog nothing ends is a failure.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace rillmark::testhost::soak {

// What the user means to do in the next file dialog ("Open" or "Save As",
// its caption) or the next Select by Name dialog.
void planFileDialog(const std::wstring& caption, const std::wstring& path, bool cancel);
void planSelectByName(const std::wstring& text, bool cancel);
bool planPending();
void dropPlans();

// True when `text` is one of the plug-in's message box texts.
bool isOwnMessage(const std::string& text);

class DialogAnswerer {
 public:
  DialogAnswerer() : thread_([this] { run(); }) {}
  ~DialogAnswerer() {
    stop_ = true;
    thread_.join();
  }
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

 private:
  void run();

  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace rillmark::testhost::soak
