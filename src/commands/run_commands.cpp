#include "commands/run_commands.h"

#include <algorithm>

#include "base/error.h"
#include "hostapi/host_calls.h"
#include "scene/scene_helpers.h"
#include "sim/run_control.h"

namespace rillmark {

namespace {

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
  ctx.runView.enableContinueAndStop();

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
  state.Counters.CurrentFrame = ctx.model.start.IntValue();
  RunFrames(ctx, RunMode::Start, water);
}

}  // namespace

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
  // A panel opened while a run is still at work (its own panel was closed
  // during the frame) finds the run as it is: the frame in progress is
  // still reading the event table.
  if (state.RunInProgress) return;
  state.Events.wipe();
  RunCounters& c = state.Counters;
  c.RetiredCount = 0;
  c.LastTick = 0;
  c.RingIndex = 0;
  std::fill(std::begin(c.FrameTimeRing), std::end(c.FrameTimeRing), 0);
}

}  // namespace rillmark
