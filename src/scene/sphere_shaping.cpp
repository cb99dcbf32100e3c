#include "scene/sphere_shaping.h"

#include "hostapi/host_calls.h"

namespace rillmark {

void moveSphereRing(HostHandle sphere, int first, int step, float dz) {
  int indices[kSphereLongitude];
  for (int i = 0; i < kSphereLongitude; ++i) indices[i] = first + i * step;
  const HostVec3 offset{0.0f, 0.0f, dz};
  host::tsxPolyhSelectVertices(sphere, kSphereLongitude, static_cast<const int*>(indices));
  host::tsxPointsTranslate(&offset, 0);
  host::tsxPolyhDeselectAll(sphere);
}

void applyDrawingModeFor430(HostHandle sphere) {
  short major = 0, minor = 0;
  host::tsxGetTsVersionNbrs(&major, &minor);
  if (major == 430) host::tsxGNodeSetDrawingMode(sphere, 4);
}

}  // namespace rillmark
