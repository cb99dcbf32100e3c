// The part of a platform that has no window system to show anything on:
// message boxes are recorded (and echoed on standard error if asked), the
// input dialog and the file dialogs give the answers queued for them
// (cancelling when there are none), the pointer is a stored position with
// a display counter, and what the shell is asked to open is recorded. The
// headless test platform and the Linux platform both build on it and add
// what they have of their own: a host library, ticks, a decimal separator,
// the module's path.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace rillmark {

class WindowlessPlatform : public Platform {
 public:
  void showMessage(const std::string& text) override;
  std::string inputBox(const std::string& caption, const std::string& prompt, const std::string& defaultText) override;
  std::optional<std::string> openFileDialog(const FileDialogOptions& options) override;
  std::optional<std::string> saveFileDialog(const FileDialogOptions& options) override;
  ScreenPoint cursorPos() override { return cursor; }
  void setCursorPos(ScreenPoint position) override {
    cursor = position;
    ++cursorMoves;
  }
  void showCursor(bool show) override { cursorCounter += show ? 1 : -1; }
  bool cursorVisible() const { return cursorCounter >= 0; }
  void openWithShell(const std::string& target) override { shellOpened.push_back(target); }

  bool echoMessages = false;  // also print each message on standard error

  std::vector<std::string> messages;
  struct Dialog {
    std::string caption, prompt, defaultText;
  };
  std::vector<Dialog> dialogs;
  std::vector<std::string> answers;  // for the input dialog, first first
  std::vector<FileDialogOptions> fileDialogs;
  std::optional<std::string> chosenFile;  // nothing: the user cancels

  // The pointer: where it is, how often the program moved it, and the
  // display counter (shown while it is 0 or more).
  ScreenPoint cursor;
  int cursorMoves = 0;
  int cursorCounter = 0;

  // What the program asked the shell to open, first first.
  std::vector<std::string> shellOpened;
};

}  // namespace rillmark
