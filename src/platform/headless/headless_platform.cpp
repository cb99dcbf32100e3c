#include "platform/headless/headless_platform.h"

#include <chrono>

namespace rillmark {

namespace {

// Windows' code for a library that is not there, so messages read the same.
constexpr std::uint32_t kModuleNotFound = 126;

}  // namespace

void* HeadlessPlatform::loadHostLibrary() { return nullptr; }
void* HeadlessPlatform::resolveSymbol(void*, const char*) { return nullptr; }
void HeadlessPlatform::freeLibrary(void*) {}
std::uint32_t HeadlessPlatform::lastErrorCode() { return kModuleNotFound; }
std::string HeadlessPlatform::systemErrorText(std::uint32_t code) {
  return code == kModuleNotFound ? "The specified module could not be found.\r\n" : "Unknown error.\r\n";
}

std::uint32_t HeadlessPlatform::tickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace rillmark
