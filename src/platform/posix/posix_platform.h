// The platform on Linux: real ticks, the C locale's decimal separator and
// libtsxapi.so loaded with dlopen. There is no window system here, so
// messages and dialogs behave as on the headless platform.
#pragma once

#include "platform/headless/headless_platform.h"

namespace rillmark {

class PosixPlatform : public HeadlessPlatform {
 public:
  PosixPlatform() { echoMessages = true; }

  void* loadHostLibrary() override;
  void* resolveSymbol(void* library, const char* name) override;
  void freeLibrary(void* library) override;
  std::uint32_t lastErrorCode() override;
  std::string systemErrorText(std::uint32_t code) override;
  std::uint32_t tickCount() override;
  char decimalSeparator() override;
  std::string modulePath() override;

 private:
  std::string lastLoadError_;
};

}  // namespace rillmark
