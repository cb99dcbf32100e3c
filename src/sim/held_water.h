// What a run holds of the water while it processes window messages: the
// vertex arrays of the water and of its rest copy, as the host handed them
// out. Meanwhile the user may delete or reshape the water in the host, so
// before writing again the run asks whether it still holds both arrays.
// The water is the user's: whether it still lives is asked of tsxIsSobj
// before anything else is asked about it. The rest copy is the plug-in's
// own and lies outside the scene, where tsxIsSobj promises nothing; it
// lives until the plug-in deletes it, so only its array and count are
// compared.
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

// The arrays and counts of both objects as the host answers now. The
// water must be a live object, the rest copy one the plug-in holds.
HeldWater holdWater(HostHandle water, HostHandle restCopy);

// True while the water is an object and both arrays and counts are still
// those held.
bool stillHeld(const HeldWater& held, HostHandle water, HostHandle restCopy);

// True when a frame can be simulated: the water is an object, the run
// holds a rest copy of the same vertex count, and the host hands out their arrays
// (a polyhedron without vertices needs none).
bool waterUsable(const SimulationState& state);

}  // namespace rillmark
