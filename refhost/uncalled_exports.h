// The names that bound a host API family but that the plug-in only looks
// up, never calls. The reference host exports them so that a binding finds
// every family complete; their real signatures are unknown here, and they
// do nothing.
#pragma once

#include "hostapi/host_types.h"
#include "refhost/export_macros.h"

extern "C" {
#define RILLMARK_UNCALLED_HOST_NAME(name) REFHOST_API void RILLMARK_CDECL name();
#include "hostapi/uncalled_host_names.inc"
#undef RILLMARK_UNCALLED_HOST_NAME
}
