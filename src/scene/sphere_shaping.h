// Reshapes a freshly created 12 x 6 host sphere by moving whole rings of
// its vertices. The sphere has 62 vertices: poles 0 (+z) and 1 (-z), then
// five rings of twelve, 2-13 at the top down to 50-61 at the bottom.
#pragma once

#include "hostapi/host_types.h"

namespace rillmark {

inline constexpr int kSphereLongitude = 12;
inline constexpr int kSphereLatitude = 6;

// Selects the twelve vertices first, first + step, ... (step +1 or -1),
// moves them by (0, 0, dz) and clears the vertex selection.
void moveSphereRing(HostHandle sphere, int first, int step, float dz);

// Drawing mode 4 on a release-4.3 host; other hosts keep their default.
void applyDrawingModeFor430(HostHandle sphere);

}  // namespace rillmark
