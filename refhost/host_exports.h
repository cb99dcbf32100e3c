// The host functions as the reference host defines them: extern "C", cdecl,
// undecorated names, generated from the same list the plug-in binds by name,
// so a signature here can never drift from the plug-in's table.
#pragma once

#include "hostapi/host_types.h"
#include "refhost/export_macros.h"

extern "C" {
#define RILLMARK_HOST_FUNCTION(family, Ret, name, params) REFHOST_API Ret RILLMARK_CDECL name params;
#include "hostapi/host_functions.inc"
#undef RILLMARK_HOST_FUNCTION
}
