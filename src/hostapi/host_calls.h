// Typed calls into the host table. Each wrapper has the host function's own
// name and forwards to its entry; an entry that is null (the host was bound
// below the function's family, or lacks it) is never called and the wrapper
// gives the neutral result instead: nothing, 0, 0.0f or a null pointer.
#pragma once

#include "hostapi/host_api.h"

namespace rillmark::host {

#define RILLMARK_HOST_FUNCTION(family, Ret, name, params) \
  template <class... Args>                                \
  inline Ret name(Args... args) {                         \
    using Result = Ret;                                   \
    const auto entry = hostApi().name;                    \
    if (entry == nullptr) return Result();                \
    return entry(args...);                                \
  }
#include "hostapi/host_functions.inc"
#undef RILLMARK_HOST_FUNCTION

}  // namespace rillmark::host
