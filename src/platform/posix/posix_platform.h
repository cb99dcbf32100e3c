// The platform services on Linux, for the demo and the native plug-in
// library. There are no windows here: a message goes to standard error and
// the input dialog answers with its default text, as a cancel would.
#pragma once

#include "platform/platform.h"

namespace rillmark {

class PosixPlatform : public Platform {
 public:
  std::uint32_t tickCount() override;
  char decimalSeparator() override;
  void showMessage(const std::string& text) override;
  std::string inputBox(const std::string& caption, const std::string& prompt,
                       const std::string& defaultText) override;
  // No dialogs without a window system: both answer as if cancelled.
  std::optional<std::string> openFileDialog(const FileDialogOptions& options) override;
  std::optional<std::string> saveFileDialog(const FileDialogOptions& options) override;
};

}  // namespace rillmark
