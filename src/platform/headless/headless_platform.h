// The platform without windows or a host library: what tests, benchmarks and
// the demo run on. Message boxes are recorded, the input dialog and the file
// dialogs give the answers queued for them (cancelling when there are none),
// and there is no host library to load. Derived platforms replace the parts
// they have for real.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace rillmark {

class HeadlessPlatform : public Platform {
 public:
  void* loadHostLibrary() override;
  void* resolveSymbol(void* library, const char* name) override;
  void freeLibrary(void* library) override;
  std::uint32_t lastErrorCode() override;
  std::string systemErrorText(std::uint32_t code) override;

  std::uint32_t tickCount() override;
  char decimalSeparator() override { return separator; }
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
  std::string modulePath() override { return moduleFile; }
  void openWithShell(const std::string& target) override { shellOpened.push_back(target); }

  char separator = '.';
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

  // The module file the program reports, and what it asked the shell to
  // open, first first.
  std::string moduleFile;
  std::vector<std::string> shellOpened;
};

}  // namespace rillmark
