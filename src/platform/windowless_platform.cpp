#include "platform/windowless_platform.h"

#include <cstdio>

namespace rillmark {

void WindowlessPlatform::showMessage(const std::string& text) {
  messages.push_back(text);
  if (echoMessages) std::fprintf(stderr, "%s\n", text.c_str());
}

std::string WindowlessPlatform::inputBox(const std::string& caption, const std::string& prompt,
                                         const std::string& defaultText) {
  dialogs.push_back({caption, prompt, defaultText});
  if (answers.empty()) return defaultText;
  std::string answer = answers.front();
  answers.erase(answers.begin());
  return answer;
}

std::optional<std::string> WindowlessPlatform::openFileDialog(const FileDialogOptions& options) {
  fileDialogs.push_back(options);
  return chosenFile;
}

std::optional<std::string> WindowlessPlatform::saveFileDialog(const FileDialogOptions& options) {
  fileDialogs.push_back(options);
  return chosenFile;
}

}  // namespace rillmark
