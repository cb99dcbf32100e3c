#include "sim/run_control.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "hostapi/host_calls.h"
#include "sim/held_water.h"
#include "sim/message_schedule.h"
#include "sim/wave_synthesis.h"

namespace rillmark {

namespace {

// Marks the loop as running for its lifetime, also when it ends by an error.
class RunInProgressScope {
 public:
  explicit RunInProgressScope(SimulationState& state) : state_(state) { state_.RunInProgress = true; }
  ~RunInProgressScope() { state_.RunInProgress = false; }
  RunInProgressScope(const RunInProgressScope&) = delete;
  RunInProgressScope& operator=(const RunInProgressScope&) = delete;

 private:
  SimulationState& state_;
};

// The run cannot go on writing the water: say why, and what to do.
void reportLostWater(FrameContext& ctx) {
  if (host::tsxIsSobj(ctx.state.WaterObject)) {
    ctx.platform.showMessage(kWaterChangedMessage);
  } else {
    askForWater(ctx);
  }
}

}  // namespace

void askForWater(FrameContext& ctx) {
  ctx.platform.showMessage(kSelectWaterMessage);
  ctx.view.setSelectCaption(kSelectWaterCaption);
}

void RunFrames(FrameContext& ctx, RunMode mode, const WaterPlacement& water) {
  SimulationState& state = ctx.state;
  RunCounters& c = state.Counters;
  const RunInProgressScope running(state);

  for (;;) {
    ctx.readParameters();
    if (ctx.params.end < c.CurrentFrame || c.StopRequested) break;
    if (mode == RunMode::Start) processMessagesNow(ctx);
    // Messages were processed since the last frame (here, or in the last
    // pass): the host may have deleted or reshaped the water meanwhile.
    if (!waterUsable(state)) {
      reportLostWater(ctx);
      break;
    }
    host::tsxAnimSetActiveTime(static_cast<float>(c.CurrentFrame));
    // Read each frame, as every control is: a change takes effect from the
    // next frame.
    const bool rangeTest = mode == RunMode::Continue || ctx.params.checkRange;
    DetectEvents(ctx, water, rangeTest);
    const HeldWater held = holdWater(state.WaterObject, state.WaterRestCopy);
    SynthesizeFrame(ctx, state.WaterObject, static_cast<float>(c.CurrentFrame));
    // A pass that lost the water on the way wrote nothing: no key either.
    if (!stillHeld(held, state.WaterObject, state.WaterRestCopy)) {
      reportLostWater(ctx);
      break;
    }
    // The pass ended by redrawing the scene, which a host may do with its
    // message loop: read again before Record Keys and Step.
    ctx.readParameters();
    if (ctx.params.recordKeys) host::tsxSobjSetFrame(state.WaterObject, kVertexKeyAttribute);

    const std::int64_t step = std::max<std::int32_t>(1, ctx.params.step);
    const std::int64_t next = static_cast<std::int64_t>(c.CurrentFrame) + step;
    if (next > std::numeric_limits<std::int32_t>::max()) {
      // No frame number lies beyond; the run has reached its end.
      c.CurrentFrame = std::numeric_limits<std::int32_t>::max();
      break;
    }
    c.CurrentFrame = static_cast<std::int32_t>(next);
  }
}

}  // namespace rillmark
