#include "hostapi/host_api.h"

#include <cstddef>

namespace rillmark {

namespace {

// Offsets of the members in the order of kHostFunctions. Every member is a
// function pointer of the same size, so they can be addressed as slots.
constexpr std::size_t kSlotOffsets[] = {
#define RILLMARK_HOST_FUNCTION(family, Ret, name, params) offsetof(HostApi, name),
#include "hostapi/host_functions.inc"
#undef RILLMARK_HOST_FUNCTION
};

static_assert(sizeof(HostApi) == kHostFunctionCount * sizeof(void*));

}  // namespace

void** hostApiSlot(HostApi& api, int index) {
  if (index < 0 || index >= kHostFunctionCount) return nullptr;
  return reinterpret_cast<void**>(reinterpret_cast<char*>(&api) + kSlotOffsets[index]);
}

HostApi& hostApi() {
  static HostApi api;
  return api;
}

std::uint16_t& hostApiLevel() {
  static std::uint16_t level = 0;
  return level;
}

}  // namespace rillmark
