#include "sim/held_water.h"

#include "hostapi/host_calls.h"

namespace rillmark {

HeldWater holdWater(HostHandle water, HostHandle restCopy) {
  return {host::tsxPolyhGetVxArray(water), host::tsxPolyhGetVxArray(restCopy), host::tsxPolyhGetNbrVxs(water),
          host::tsxPolyhGetNbrVxs(restCopy)};
}

bool stillHeld(const HeldWater& held, HostHandle water, HostHandle restCopy) {
  if (!host::tsxIsSobj(water) || !host::tsxIsSobj(restCopy)) return false;
  const HeldWater now = holdWater(water, restCopy);
  return now.vertices == held.vertices && now.restVertices == held.restVertices && now.count == held.count &&
         now.restCount == held.restCount;
}

bool waterUsable(const SimulationState& state) {
  if (!host::tsxIsSobj(state.WaterObject) || !host::tsxIsSobj(state.WaterRestCopy)) return false;
  const HeldWater held = holdWater(state.WaterObject, state.WaterRestCopy);
  return held.count == held.restCount && (held.count <= 0 || (held.vertices && held.restVertices));
}

}  // namespace rillmark
