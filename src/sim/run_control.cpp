#include "sim/run_control.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "hostapi/host_calls.h"
#include "base/error.h"
#include "scene/scene_helpers.h"
#include "sim/held_water.h"
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

void askForWater(RunContext& ctx) {
  ctx.platform.showMessage(kSelectWaterMessage);
  ctx.view.setSelectCaption(kSelectWaterCaption);
}

// The run cannot go on writing the water: say why, and what to do.
void reportLostWater(RunContext& ctx) {
  if (host::tsxIsSobj(ctx.state.WaterObject)) {
    ctx.platform.showMessage(kWaterChangedMessage);
  } else {
    askForWater(ctx);
  }
}

void resetStatistics(RunContext& ctx) {
  RunCounters& c = ctx.state.Counters;
  c.RunStartTick = ctx.platform.tickCount();
  c.LastTick = c.RunStartTick;
  c.RingIndex = 0;
  c.ProcessedEvents = 0;
  std::fill(std::begin(c.FrameTimeRing), std::end(c.FrameTimeRing), 0);
  c.RetiredCount = 0;
}

// Deletes the rest copy. The synthesis forgets the grid it built over it:
// a host may hand out a later copy under the same handle and address.
void releaseRestCopy(SimulationState& state) {
  releaseCopy(state.WaterRestCopy);
  state.RestCopySource = nullptr;
  state.Synthesis.restCopy = nullptr;
  state.Synthesis.restVertices = nullptr;
}

// Continue may only go on with a rest copy of the water it writes.
bool restCopyMatchesWater(const SimulationState& state) {
  return state.RestCopySource == state.WaterObject && state.WaterRestCopy != nullptr &&
         host::tsxPolyhGetNbrVxs(state.WaterRestCopy) == host::tsxPolyhGetNbrVxs(state.WaterObject);
}

// Replaces the water, keys and all, by a fresh copy of the snapshot taken
// when it was chosen. The water is deleted only once its replacement
// exists: without a snapshot (the host made none when the water was
// chosen), or when the host makes no copy now, the user's water stays as
// it is and the operation ends quietly.
void eraseVertexAnimation(SimulationState& state) {
  host::tsxAnimSetPlayMode(0);
  host::tsxAnimSetActiveTime(0.0f);
  if (state.WaterObject == nullptr) return;
  if (state.WaterSnapshot == nullptr) return;
  const HostHandle fresh = copyObject(state.WaterSnapshot);
  if (fresh == nullptr) return;
  // A water the user has deleted in the host is not handed back to it.
  if (host::tsxIsSobj(state.WaterObject)) host::tsxSobjDelete(state.WaterObject);
  state.WaterObject = fresh;
  host::tsxSceneAddObject(state.WaterObject, 0);
  host::tsxGNodeDeleteScriptTree(state.WaterObject);
  host::tsxGNodeCreateScriptTree(state.WaterObject);
}

void startRun(RunContext& ctx) {
  SimulationState& state = ctx.state;
  if (!host::tsxIsSobj(state.WaterObject)) {
    askForWater(ctx);
    return;
  }
  resetStatistics(ctx);
  state.Counters.StopRequested = false;
  ctx.view.enableContinueAndStop();

  // Without a snapshot the erase leaves the water in place and the
  // run goes on with it as it stands: the script tree rebuilt below drops
  // its old keys, but its vertices keep the heights they hold now.
  eraseVertexAnimation(state);
  host::tsxAnimSetPlayMode(0);
  host::tsxAnimSetActiveTime(0.0f);
  host::tsxGNodeDeleteScriptTree(state.WaterObject);
  host::tsxGNodeCreateScriptTree(state.WaterObject);
  BakeVertexTransform(state.WaterObject);

  releaseRestCopy(state);
  const HostHandle restCopy = copyObject(state.WaterObject);
  if (restCopy == nullptr) throw Error("The host could not copy the water object");
  state.WaterRestCopy = restCopy;
  state.RestCopySource = state.WaterObject;
  BakeVertexTransform(state.WaterRestCopy);

  const WaterPlacement water = readWaterPlacement(state.WaterObject);
  state.Events.empty();
  state.TableFullReported = false;
  host::tsxSobjAddAttribute(state.WaterObject, kVertexKeyAttribute);
  host::tsxAnimSetPlayMode(0);
  state.Counters.CurrentFrame = ctx.params.spinstart.IntValue();
  RunFrames(ctx, RunMode::Start, water);
}

}  // namespace

void RunFrames(RunContext& ctx, RunMode mode, const WaterPlacement& water) {
  SimulationState& state = ctx.state;
  RunCounters& c = state.Counters;
  const RunInProgressScope running(state);

  while (ctx.params.spinend.IntValue() >= c.CurrentFrame && !c.StopRequested) {
    if (mode == RunMode::Start) ctx.view.processMessages();
    // Messages were processed since the last frame (here, or in the last
    // pass): the host may have deleted or reshaped the water meanwhile.
    if (!waterUsable(state)) {
      reportLostWater(ctx);
      break;
    }
    host::tsxAnimSetActiveTime(static_cast<float>(c.CurrentFrame));
    // Read each frame, as every control is: a change takes effect from the
    // next frame.
    const bool rangeTest = mode == RunMode::Continue || ctx.params.boxrange.checked();
    DetectEvents(ctx, water, rangeTest);
    const HeldWater held = holdWater(state.WaterObject, state.WaterRestCopy);
    SynthesizeFrame(ctx, state.WaterObject, static_cast<float>(c.CurrentFrame));
    // A pass that lost the water on the way wrote nothing: no key either.
    if (!stillHeld(held, state.WaterObject, state.WaterRestCopy)) {
      reportLostWater(ctx);
      break;
    }
    if (ctx.params.boxrec.checked()) host::tsxSobjSetFrame(state.WaterObject, kVertexKeyAttribute);

    const std::int64_t step = std::max<std::int32_t>(1, ctx.params.spinstep.IntValue());
    const std::int64_t next = static_cast<std::int64_t>(c.CurrentFrame) + step;
    if (next > std::numeric_limits<std::int32_t>::max()) {
      // No frame number lies beyond; the run has reached its end.
      c.CurrentFrame = std::numeric_limits<std::int32_t>::max();
      break;
    }
    c.CurrentFrame = static_cast<std::int32_t>(next);
  }
}

void btnstartClick(RunContext& ctx) {
  if (ctx.state.RunInProgress) return;
  startRun(ctx);
}

void btncontinueClick(RunContext& ctx) {
  SimulationState& state = ctx.state;
  if (state.RunInProgress) return;
  if (!host::tsxIsSobj(state.WaterObject)) {
    askForWater(ctx);
    return;
  }
  // Another water was chosen since the rest copy was taken: nothing can be
  // continued, so the run starts afresh.
  if (!restCopyMatchesWater(state)) {
    startRun(ctx);
    return;
  }
  try {
    state.Counters.StopRequested = false;
    host::tsxAnimSetPlayMode(0);
    const WaterPlacement water = readWaterPlacement(state.WaterObject);
    RunFrames(ctx, RunMode::Continue, water);
  } catch (const std::exception&) {
    askForWater(ctx);
  }
}

void btnstopClick(RunContext& ctx) { ctx.state.Counters.StopRequested = true; }

void btndelanimClick(RunContext& ctx) {
  if (ctx.state.RunInProgress) return;
  eraseVertexAnimation(ctx.state);
}

void releaseWaterCopies(SimulationState& state) {
  releaseCopy(state.WaterSnapshot);
  releaseRestCopy(state);
}

void resetForFormShow(SimulationState& state) {
  state.Events.wipe();
  RunCounters& c = state.Counters;
  c.RetiredCount = 0;
  c.LastTick = 0;
  c.RingIndex = 0;
  std::fill(std::begin(c.FrameTimeRing), std::end(c.FrameTimeRing), 0);
}

}  // namespace rillmark
