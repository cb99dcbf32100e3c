// The platform on Linux: real ticks, the C locale's decimal separator and
// libtsxapi.so loaded with dlopen. There is no window system here, so
// messages, dialogs and the pointer are those of WindowlessPlatform.
#pragma once

#include <string>

#include "platform/windowless_platform.h"

namespace rillmark {

class PosixPlatform : public WindowlessPlatform {
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
