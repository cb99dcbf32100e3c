#include "sim/event_detection.h"

#include <cmath>

#include "hostapi/host_calls.h"
#include "scene/scene_helpers.h"

namespace rillmark {

const char* const kEventTableFullMessage =
    "The event table is full (100001 events). Further events of this run are not recorded.";

WaterPlacement readWaterPlacement(HostHandle water) {
  WaterPlacement placement{};
  host::tsxGNodeGetLocation(water, &placement.Lw);
  host::tsxGNodeGetSize(water, &placement.Sw);
  placement.Dw = std::sqrt(placement.Sw.x * placement.Sw.x + placement.Sw.y * placement.Sw.y);
  return placement;
}

void DetectEvents(FrameContext& ctx, const WaterPlacement& water, bool rangeTest) {
  SimulationState& state = ctx.state;
  const int count = ctx.effectors.count();
  for (int j = 0; j < count; ++j) {
    const EffectorList::Item& item = ctx.effectors.item(j);
    if (!item.checked) continue;
    HostHandle effector = FindObjectByName(item.text);
    if (effector == nullptr) continue;

    HostVec3 Le{}, Se{};
    host::tsxGNodeGetLocation(effector, &Le);
    host::tsxGNodeGetSize(effector, &Se);
    // Both tests are strict: an effector that only touches the water's
    // height, or the range bound, records nothing.
    if (!(0.5f * Se.z > std::fabs(Le.z - water.Lw.z))) continue;
    if (rangeTest && !(host::tsxDistanceToPoint3f(&Le, &water.Lw) < 0.5f * (Se.z + water.Dw))) continue;

    const RippleEvent record{state.Counters.CurrentFrame, Le.x, Le.y, Le.z, Se.x};
    if (!state.Events.append(record) && !state.TableFullReported) {
      state.TableFullReported = true;
      ctx.platform.showMessage(kEventTableFullMessage);
    }
  }
}

}  // namespace rillmark
