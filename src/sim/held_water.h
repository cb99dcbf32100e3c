// What a run holds of the water while it processes window messages: the
// vertex arrays of the water and of its rest copy, as the host handed them
// out. Meanwhile the host (or the user, through it) may delete or reshape
// either object, so before writing again the run asks whether it still
// holds them. A handle the host may have let go of is only ever handed
// back to tsxIsSobj.
#pragma once

#include "hostapi/host_types.h"
#include "sim/simulation_state.h"

namespace rillmark {

struct HeldWater {
  HostVec3* vertices = nullptr;
  const HostVec3* restVertices = nullptr;
  int count = 0;
  int restCount = 0;
};

// The arrays and counts of both objects as the host answers now. Both
// must be live objects.
HeldWater holdWater(HostHandle water, HostHandle restCopy);

// True while both are objects whose arrays and counts are still those held.
bool stillHeld(const HeldWater& held, HostHandle water, HostHandle restCopy);

// True when a frame can be simulated: the water and its rest copy are
// objects with the same vertex count, and the host hands out their arrays
// (a polyhedron without vertices needs none).
bool waterUsable(const SimulationState& state);

}  // namespace rillmark
