// The plain data types that cross the host boundary: handles, vectors and
// matrices exactly as the host lays them out in memory.
#pragma once

#if defined(_WIN32) && defined(__i386__)
#define RILLMARK_CDECL __attribute__((cdecl))
#else
#define RILLMARK_CDECL
#endif

// The host's opaque handle of a scene object; null means no object.
using HostHandle = void*;

// Three 32-bit floats: a location, a size or a vertex.
struct HostVec3 {
  float x;
  float y;
  float z;
};

// The vertex transformation: three rows of four floats in storage order.
// A vertex p maps to (row0 . (p,1), row1 . (p,1), row2 . (p,1)).
struct HostMatrix3x4 {
  float m[12];
};

static_assert(sizeof(HostVec3) == 12, "the host stores vectors as three packed floats");
static_assert(sizeof(HostMatrix3x4) == 48, "the host stores matrices as twelve packed floats");

inline constexpr HostMatrix3x4 kIdentityMatrix{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0}};
