// Binding the host API by name. The host library is loaded by its bare
// name, then family after family is looked up as far as the host's release
// reaches; the level reached is that of the last family found complete.
#pragma once

#include <cstdint>
#include <string>

#include "base/error.h"
#include "platform/platform.h"

namespace rillmark {

// A name the host library does not export. Absorbed by the family lookup;
// only a lower level shows it.
class EtsxFunctionNotFound : public Error {
 public:
  using Error::Error;
  const char* className() const noexcept override { return "EtsxFunctionNotFound"; }
};

// Releases any earlier binding, loads the host library and looks the
// families up. Returns HostApiLevel (0 when family 300 is incomplete; the
// library reference is kept even then). Raises Error when the library
// cannot be loaded.
std::uint16_t BindHostApi(Platform& platform);

// Hands the library reference back, if one is held. Entries keep their
// addresses, but the level drops to 0 so that nothing calls into a library
// no longer held.
void ReleaseHostApi(Platform& platform);

// The exported symbol of that exact name; raises EtsxFunctionNotFound.
void* ResolveHostFunction(Platform& platform, void* library, const char* name);

bool hostLibraryHeld();

// "Error %d initializing tsx API in Plugin: %s" for a loader failure, the
// system text cut to 255 characters and stripped of trailing blanks,
// control characters and full stops.
std::string hostLibraryLoadMessage(std::uint32_t code, const std::string& systemText);

}  // namespace rillmark
