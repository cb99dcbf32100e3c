#include "platform/platform.h"

namespace rillmark {

namespace {

Platform*& installed() {
  static Platform* platform = nullptr;
  return platform;
}

}  // namespace

Platform* activePlatform() { return installed(); }
void setActivePlatform(Platform* platform) { installed() = platform; }

}  // namespace rillmark
