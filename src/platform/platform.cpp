#include "platform/platform.h"

#include <chrono>

namespace rillmark {

std::uint64_t Platform::monotonicMicroseconds() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

namespace {

Platform*& installed() {
  static Platform* platform = nullptr;
  return platform;
}

}  // namespace

Platform* activePlatform() { return installed(); }
void setActivePlatform(Platform* platform) { installed() = platform; }

}  // namespace rillmark
