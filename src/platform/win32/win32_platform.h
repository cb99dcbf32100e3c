// The platform inside the host on Windows: tsxapi.dll loaded with the
// system's normal search, the system's error texts, tick count and locale,
// and real modal dialogs (message box, text input, open and save). Texts
// meet Windows through the wide calls, converted from and to UTF-8; only
// the text input dialog works in the ANSI code page. The dialogs' loops run
// the host's windows too, so they run under the host's floating-point
// settings (base/float_control.h).
#pragma once

#include "platform/platform.h"

namespace rillmark {

class Win32Platform : public Platform {
 public:
  void* loadHostLibrary() override;
  void* resolveSymbol(void* library, const char* name) override;
  void freeLibrary(void* library) override;
  // The code of the last failed load, taken before anything else can
  // overwrite the thread's last error.
  std::uint32_t lastErrorCode() override { return lastError_; }
  std::string systemErrorText(std::uint32_t code) override;

  std::uint32_t tickCount() override;
  char decimalSeparator() override;

  void showMessage(const std::string& text) override;
  std::string inputBox(const std::string& caption, const std::string& prompt,
                       const std::string& defaultText) override;
  std::optional<std::string> openFileDialog(const FileDialogOptions& options) override;
  std::optional<std::string> saveFileDialog(const FileDialogOptions& options) override;
  ScreenPoint cursorPos() override;
  void setCursorPos(ScreenPoint position) override;
  void showCursor(bool show) override;
  std::string modulePath() override;
  void openWithShell(const std::string& target) override;

  // The window dialogs are modal to: the host's main view once known.
  // Without one (or once it is gone) they are modal to the whole thread.
  void setOwnerWindow(void* window) { owner_ = window; }

 private:
  void* owner() const;
  std::optional<std::string> fileDialog(const FileDialogOptions& options, bool save);

  std::uint32_t lastError_ = 0;
  void* owner_ = nullptr;
};

}  // namespace rillmark
