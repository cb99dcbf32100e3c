#include "platform/posix/posix_platform.h"

#include <dlfcn.h>

#include <clocale>
#include <ctime>

namespace rillmark {

namespace {

// Any function of this module serves to find the module's file.
void posixModuleAnchor() {}

// dlopen reports text, not a number; this stands for "could not load".
constexpr std::uint32_t kLoadFailed = 126;

}  // namespace

void* PosixPlatform::loadHostLibrary() {
  void* library = dlopen("libtsxapi.so", RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = dlerror();
    lastLoadError_ = why ? why : "the library could not be loaded";
  }
  return library;
}

void* PosixPlatform::resolveSymbol(void* library, const char* name) {
  if (library == nullptr) return nullptr;
  return dlsym(library, name);
}

void PosixPlatform::freeLibrary(void* library) {
  if (library != nullptr) dlclose(library);
}

std::uint32_t PosixPlatform::lastErrorCode() { return kLoadFailed; }

std::string PosixPlatform::systemErrorText(std::uint32_t) { return lastLoadError_; }

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

// The file this code was loaded from: the plug-in library, or the
// program it is linked into.
std::string PosixPlatform::modulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&posixModuleAnchor), &info) == 0 || info.dli_fname == nullptr) return {};
  return info.dli_fname;
}

}  // namespace rillmark
