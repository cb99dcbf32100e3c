// REFHOST_API marks the functions that the shared reference host exports:
// the host functions and the refhost_ control functions. The static library
// exports nothing and needs no marking.
#pragma once

#if defined(REFHOST_BUILD_SHARED)
#if defined(_WIN32)
#define REFHOST_API __declspec(dllexport)
#else
#define REFHOST_API __attribute__((visibility("default")))
#endif
#else
#define REFHOST_API
#endif
