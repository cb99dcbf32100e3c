#include "hostapi/host_binding.h"

#include "hostapi/host_api.h"
#include "hostapi/host_api_entries.h"

namespace rillmark {

namespace {

void*& libraryReference() {
  static void* library = nullptr;
  return library;
}

// Writes each address the moment it is found; the first missing name ends
// the family, leaving what was found before it.
bool lookUpFamily(Platform& platform, void* library, const HostApiFamily& family) {
  const auto entries = hostApiEntries();
  try {
    for (int i = family.firstEntry; i < family.firstEntry + family.count; ++i) {
      const HostApiEntry& entry = entries[static_cast<std::size_t>(i)];
      if (entry.name == nullptr) continue;  // reserved: never looked up
      void* address = ResolveHostFunction(platform, library, entry.name);
      hostApiAddresses()[static_cast<std::size_t>(i)] = address;
      if (entry.slot >= 0) *hostApiSlot(hostApi(), entry.slot) = address;
    }
  } catch (const EtsxFunctionNotFound&) {
    return false;
  }
  return true;
}

bool isStrippedAtEnd(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u <= ' ' || u == 0x7F || c == '.';
}

}  // namespace

std::string hostLibraryLoadMessage(std::uint32_t code, const std::string& systemText) {
  std::string text = systemText.substr(0, 255);
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  while (!text.empty() && isStrippedAtEnd(text.back())) text.pop_back();
  return "Error " + std::to_string(code) + " initializing tsx API in Plugin: " + text;
}

void* ResolveHostFunction(Platform& platform, void* library, const char* name) {
  void* address = platform.resolveSymbol(library, name);
  if (address == nullptr)
    throw EtsxFunctionNotFound(std::string("A necessary API function(") + name + ")\r\ncould not be found in tsxapi.dll");
  return address;
}

std::uint16_t BindHostApi(Platform& platform) {
  ReleaseHostApi(platform);
  void* library = platform.loadHostLibrary();
  if (library == nullptr) {
    const std::uint32_t code = platform.lastErrorCode();
    throw Error(hostLibraryLoadMessage(code, platform.systemErrorText(code)));
  }
  std::uint16_t level = 0;
  try {
    const auto families = hostApiFamilies();
    if (lookUpFamily(platform, library, families[0])) {
      level = 300;
      // The version call is of family 300: allowed from here on.
      hostApiLevel() = level;
      short version = 0, minor = 0;
      hostApi().tsxGetTsVersionNbrs(&version, &minor);
      for (std::size_t f = 1; f < families.size(); ++f) {
        if (version < families[f].level) break;
        if (!lookUpFamily(platform, library, families[f])) break;
        level = static_cast<std::uint16_t>(families[f].level);
      }
    }
  } catch (...) {
    hostApiLevel() = 0;
    platform.freeLibrary(library);
    throw;
  }
  libraryReference() = library;
  hostApiLevel() = level;
  return level;
}

void ReleaseHostApi(Platform& platform) {
  void*& library = libraryReference();
  if (library == nullptr) return;
  platform.freeLibrary(library);
  library = nullptr;
  hostApiLevel() = 0;
}

bool hostLibraryHeld() { return libraryReference() != nullptr; }

}  // namespace rillmark
