// The platform of tests, benchmarks and the demo's Windows-free checks: no
// windows (see WindowlessPlatform) and no host library to load; the tick
// count is the steady clock, and the decimal separator and the module's
// path are whatever the test sets.
#pragma once

#include <string>

#include "platform/windowless_platform.h"

namespace rillmark {

class HeadlessPlatform : public WindowlessPlatform {
 public:
  void* loadHostLibrary() override;
  void* resolveSymbol(void* library, const char* name) override;
  void freeLibrary(void* library) override;
  std::uint32_t lastErrorCode() override;
  std::string systemErrorText(std::uint32_t code) override;

  std::uint32_t tickCount() override;
  char decimalSeparator() override { return separator; }
  std::string modulePath() override { return moduleFile; }

  char separator = '.';
  // The module file the program reports.
  std::string moduleFile;
};

}  // namespace rillmark
