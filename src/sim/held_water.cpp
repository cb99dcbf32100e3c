#include "sim/held_water.h"

#include "hostapi/host_calls.h"

namespace rillmark {

HeldWater holdWater(HostHandle water, HostHandle restCopy) {
  return {host::tsxPolyhGetVxArray(water), host::tsxPolyhGetVxArray(restCopy), host::tsxPolyhGetNbrVxs(water),
          host::tsxPolyhGetNbrVxs(restCopy)};
}

bool stillHeld(const HeldWater& held, HostHandle water, HostHandle restCopy) {
  if (restCopy == nullptr || !host::tsxIsSobj(water)) return false;
  const HeldWater now = holdWater(water, restCopy);
  return now.vertices == held.vertices && now.restVertices == held.restVertices && now.count == held.count &&
         now.restCount == held.restCount;
}

bool waterUsable(const SimulationState& state) {
  if (state.WaterRestCopy == nullptr || !host::tsxIsSobj(state.WaterObject)) return false;
  const HeldWater held = holdWater(state.WaterObject, state.WaterRestCopy);
  return held.count == held.restCount && (held.count <= 0 || (held.vertices && held.restVertices));
}

}  // namespace rillmark
