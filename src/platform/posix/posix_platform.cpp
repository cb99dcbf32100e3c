#include "platform/posix/posix_platform.h"

#include <clocale>
#include <cstdio>
#include <ctime>

namespace rillmark {

std::uint32_t PosixPlatform::tickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  // Milliseconds, wrapping at 2^32 like the Windows tick count.
  const unsigned long long ms =
      static_cast<unsigned long long>(now.tv_sec) * 1000ULL + static_cast<unsigned long long>(now.tv_nsec) / 1000000ULL;
  return static_cast<std::uint32_t>(ms);
}

char PosixPlatform::decimalSeparator() {
  const lconv* conventions = std::localeconv();
  if (conventions == nullptr || conventions->decimal_point == nullptr || conventions->decimal_point[0] == '\0')
    return '.';
  return conventions->decimal_point[0];
}

void PosixPlatform::showMessage(const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }

std::string PosixPlatform::inputBox(const std::string&, const std::string&, const std::string& defaultText) {
  return defaultText;
}

std::optional<std::string> PosixPlatform::openFileDialog(const FileDialogOptions&) { return std::nullopt; }

std::optional<std::string> PosixPlatform::saveFileDialog(const FileDialogOptions&) { return std::nullopt; }

}  // namespace rillmark
