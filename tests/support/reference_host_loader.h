// A host-library loader over the reference host linked into the test
// program: it hands out the reference host's functions by name (hidden
// names are missing), can be told to fail, and counts the library
// references it gives and takes back.
#pragma once

#include <cstdint>
#include <string>

#include "platform/headless/headless_platform.h"
#include "refhost/export_table.h"

namespace rillmark::testing {

class ReferenceHostLoader : public HeadlessPlatform {
 public:
  void* loadHostLibrary() override {
    ++loads;
    if (failLoad) return nullptr;
    ++references;
    return &library;
  }
  void* resolveSymbol(void* handle, const char* name) override {
    ++lookups;
    return handle == &library ? refhost::lookupExport(name) : nullptr;
  }
  void freeLibrary(void* handle) override {
    ++frees;
    if (handle == &library) --references;
  }
  // Windows' code and text for a library that is not there; the trailing
  // blank and line break are what the binding strips.
  std::uint32_t lastErrorCode() override { return 126; }
  std::string systemErrorText(std::uint32_t) override { return "The specified module could not be found. \r\n"; }

  bool failLoad = false;
  int loads = 0;
  int frees = 0;
  int references = 0;
  int lookups = 0;
  int library = 0;
};

}  // namespace rillmark::testing
