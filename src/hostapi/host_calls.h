// Typed calls into the host table. Each wrapper has the host function's own
// name and forwards to its entry. An entry that is null, or whose family lies
// above the level the host was bound to (a family that failed part way keeps
// the entries found before the gap), is never called: the wrapper gives the
// neutral result instead, nothing, 0, 0.0f or a null pointer.
#pragma once

#include "hostapi/host_api.h"

namespace rillmark::host {

// True when functions of that family may be called.
inline bool familyBound(int family) { return hostApiLevel() >= family; }

#define RILLMARK_HOST_FUNCTION(family, Ret, name, params) \
  template <class... Args>                                \
  inline Ret name(Args... args) {                         \
    using Result = Ret;                                   \
    const auto entry = hostApi().name;                    \
    if (entry == nullptr || hostApiLevel() < family)      \
      return Result();                                    \
    return entry(args...);                                \
  }
#include "hostapi/host_functions.inc"
#undef RILLMARK_HOST_FUNCTION

}  // namespace rillmark::host
