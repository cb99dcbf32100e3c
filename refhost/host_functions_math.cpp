// Host functions for vector math and procedural noise. Lengths are taken
// in double so that large components neither overflow nor lose the result.
#include <cmath>

#include "refhost/call_note.h"
#include "refhost/host_exports.h"
#include "refhost/noise.h"
#include "refhost/shield.h"

using refhost::detail::CallNote;
using refhost::detail::FunctionId;
using refhost::detail::shield;

namespace {

float noiseAt(FunctionId id, const HostVec3* point, float (*noise)(float, float, float)) {
  return shield(0.0f, [&] {
    CallNote note(id);
    note.vector(point);
    return point ? noise(point->x, point->y, point->z) : 0.0f;
  });
}

float turbulenceAt(FunctionId id, const HostVec3* point, int octaves, float (*noise)(float, float, float, int)) {
  return shield(0.0f, [&] {
    CallNote note(id);
    note.vector(point).number(octaves);
    return point ? noise(point->x, point->y, point->z, octaves) : 0.0f;
  });
}

}  // namespace

extern "C" {

float tsxDistanceToPoint3f(const HostVec3* p, const HostVec3* q) {
  return shield(0.0f, [&] {
    CallNote note(FunctionId::tsxDistanceToPoint3f);
    note.vector(p).vector(q);
    if (!p || !q) return 0.0f;
    const double dx = double{p->x} - q->x, dy = double{p->y} - q->y, dz = double{p->z} - q->z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
  });
}

// Writes the unit vector and returns the length. A vector whose length is
// zero or not a finite number has no direction: the zero vector is written.
float tsxGetNormalized3f(HostVec3* out, const HostVec3* in) {
  return shield(0.0f, [&] {
    CallNote note(FunctionId::tsxGetNormalized3f);
    note.vector(in);
    if (!in) {
      if (out) *out = {0, 0, 0};
      return 0.0f;
    }
    const double x = in->x, y = in->y, z = in->z;
    const double length = std::sqrt(x * x + y * y + z * z);
    if (out) {
      if (length > 0.0 && std::isfinite(length)) {
        *out = {static_cast<float>(x / length), static_cast<float>(y / length), static_cast<float>(z / length)};
      } else {
        *out = {0, 0, 0};
      }
    }
    return static_cast<float>(length);
  });
}

void tsxMulScalar3f(HostVec3* v, float factor) {
  shield([&] {
    CallNote note(FunctionId::tsxMulScalar3f);
    note.vector(v).number(factor);
    if (!v) return;
    v->x *= factor;
    v->y *= factor;
    v->z *= factor;
  });
}

float tssNoise3(const HostVec3* point) { return noiseAt(FunctionId::tssNoise3, point, refhost::noise::value); }

float tssNoise3Classic(const HostVec3* point) {
  return noiseAt(FunctionId::tssNoise3Classic, point, refhost::noise::classic);
}

float tssNoise3Perlin(const HostVec3* point) {
  return noiseAt(FunctionId::tssNoise3Perlin, point, refhost::noise::improved);
}

float tssTurbulence3(const HostVec3* point, int octaves) {
  return turbulenceAt(FunctionId::tssTurbulence3, point, octaves, refhost::noise::turbulenceValue);
}

float tssTurbulence3Classic(const HostVec3* point, int octaves) {
  return turbulenceAt(FunctionId::tssTurbulence3Classic, point, octaves, refhost::noise::turbulenceClassic);
}

float tssTurbulence3Perlin(const HostVec3* point, int octaves) {
  return turbulenceAt(FunctionId::tssTurbulence3Perlin, point, octaves, refhost::noise::turbulenceImproved);
}

float tssTurbulence3SparseConv(const HostVec3* point, int octaves) {
  return turbulenceAt(FunctionId::tssTurbulence3SparseConv, point, octaves, refhost::noise::turbulenceSparse);
}

}  // extern "C"
