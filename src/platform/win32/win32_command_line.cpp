#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "platform/command_line.h"
#include "platform/win32/wide_text.h"

namespace rillmark {

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return {argv, argv + argc};
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(utf8FromWide(wide[i]));
  LocalFree(wide);
  return args;
}

void printUtf8ToConsole() { SetConsoleOutputCP(CP_UTF8); }

}  // namespace rillmark
