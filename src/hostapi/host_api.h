// The host table: one function pointer per host function that Rillmark
// calls. The plug-in reaches the host only through this table; an entry is
// null until the binding (or a test) fills it, and callers go through the
// wrappers of host_calls.h, which never call a null entry.
#pragma once

#include <cstdint>

#include "hostapi/host_types.h"

namespace rillmark {

namespace host_fn {
#define RILLMARK_HOST_FUNCTION(family, Ret, name, params) using name = Ret(RILLMARK_CDECL*) params;
#include "hostapi/host_functions.inc"
#undef RILLMARK_HOST_FUNCTION
}  // namespace host_fn

struct HostApi {
#define RILLMARK_HOST_FUNCTION(family, Ret, name, params) host_fn::name name = nullptr;
#include "hostapi/host_functions.inc"
#undef RILLMARK_HOST_FUNCTION
};

// One row per function of the table, for code that walks it by name.
struct HostFunctionInfo {
  const char* name;
  int family;
};

inline constexpr HostFunctionInfo kHostFunctions[] = {
#define RILLMARK_HOST_FUNCTION(family, Ret, name, params) {#name, family},
#include "hostapi/host_functions.inc"
#undef RILLMARK_HOST_FUNCTION
};

inline constexpr int kHostFunctionCount = sizeof(kHostFunctions) / sizeof(kHostFunctions[0]);
static_assert(kHostFunctionCount == 50);

// Address of the table entry for kHostFunctions[index], as an untyped slot.
void** hostApiSlot(HostApi& api, int index);

// The table of the loaded plug-in and the level it was bound to (0, 300,
// 310, 320, 410, 420 or 430).
HostApi& hostApi();
std::uint16_t& hostApiLevel();

}  // namespace rillmark
