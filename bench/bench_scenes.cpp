#include "bench/bench_scenes.h"

#include <array>

#include <algorithm>
#include <string>

#include "commands/run_commands.h"
#include "hostapi/host_api.h"
#include "hostapi/host_calls.h"
#include "refhost/host_exports.h"
#include "refhost/refhost.h"
#include "bench/demo_scene.h"
#include "bench/scene_layout.h"
#include "scene/scene_helpers.h"
#include "sim/event_detection.h"
#include "sim/run_control.h"

namespace rillmark::bench {

namespace {

using namespace layout;

constexpr int kBusyEvents = 500;
constexpr float kBusyFrame = 60.0f;

void chooseWater(World& world, HostHandle water) {
  refhost::select(water);
  world.commands.btnselectClick();
}

void addWindSource(World& world) {
  world.commands.SpeedButton1Click();
  world.params.wind.setChecked(true);
}

// A Create New Effector sphere moving along a path.
void addEffector(World& world, const Path& path) {
  world.commands.btneffectorClick();
  HostHandle sphere = FindObjectByName("Effector-" + std::to_string(world.commands.EffectorCount));
  refhost::addLocationKey(sphere, path.firstFrame, {path.from[0], path.from[1], path.from[2]});
  refhost::addLocationKey(sphere, path.lastFrame, {path.to[0], path.to[1], path.to[2]});
}

// Frames 0 to lastFrame, Step 1, on a 300 x 300 water with the effectors.
template <class Paths>
void buildRun(World& world, const Paths& paths, int lastFrame) {
  HostHandle water = refhost::addGrid("Water", kGridSide, kGridSide, kWaterSide, kWaterSide, 0.0f);
  for (const Path& path : paths) addEffector(world, path);
  chooseWater(world, water);
  world.params.start.setValue(0);
  world.params.end.setValue(static_cast<float>(lastFrame));
  world.params.step.setValue(1);
}

void buildDemo(World& world) {
  HostHandle water = demo::buildDemoScene(
      [&world] {
        world.commands.btneffectorClick();
        return "Effector-" + std::to_string(world.commands.EffectorCount);
      },
      96, 0, 100);
  chooseWater(world, water);
  world.params.start.setValue(0);
  world.params.end.setValue(100);
  world.params.step.setValue(2);
}

// Events spread over the water and over the last 50 frames: all live.
void buildBusy(World& world) {
  HostHandle water = refhost::addGrid("Water", kGridSide, kGridSide, kWaterSide, kWaterSide, 0.0f);
  chooseWater(world, water);
  HostHandle rest = nullptr;
  tsxGNodeCopy(water, &rest);
  world.state.WaterRestCopy = rest;
  world.state.RestCopySource = water;
  Spread spread;
  for (int e = 0; e < kBusyEvents; ++e) {
    const float x = (spread.next() - 0.5f) * kWaterSide;
    const float y = (spread.next() - 0.5f) * kWaterSide;
    const auto frame = static_cast<std::int32_t>(kBusyFrame) - static_cast<std::int32_t>(spread.next() * 50.0f);
    world.state.Events.append({frame, x, y, 0.0f, 0.6f});
  }
  world.state.Counters.CurrentFrame = static_cast<std::int32_t>(kBusyFrame);
}

std::int64_t liveVertexEvents(const World& world) {
  const auto& c = world.state.Counters;
  return static_cast<std::int64_t>(c.VertexCount) * (world.state.Events.EventCount() - c.RetiredCount);
}

// The frame loop of a Start run, with the given pass.
SceneWork runFrames(World& world, Pass pass) {
  ParameterSet& params = world.params;
  SimulationState& state = world.state;
  // Start with a first frame past End does everything Start does (restore
  // the water, bake, take the rest copy, empty the events) but run frames.
  const float start = params.start.Value();
  params.start.setValue(static_cast<float>(params.end.IntValue() + 1));
  btnstartClick(world.ctx);
  params.start.setValue(start);
  state.Counters.CurrentFrame = params.start.IntValue();

  const WaterPlacement water = readWaterPlacement(state.WaterObject);
  SceneWork work;
  while (params.end.IntValue() >= state.Counters.CurrentFrame) {
    const auto frame = static_cast<float>(state.Counters.CurrentFrame);
    host::tsxAnimSetActiveTime(frame);
    DetectEvents(world.ctx, water, params.checkRange.checked());
    pass(world.ctx, state.WaterObject, frame);
    if (params.recordKeys.checked()) host::tsxSobjSetFrame(state.WaterObject, kVertexKeyAttribute);
    ++work.frames;
    work.vertexEvents += liveVertexEvents(world);
    state.Counters.CurrentFrame += std::max(1, params.step.IntValue());
  }
  return work;
}

}  // namespace

World::World() {
  refhost::reset();
  refhost::setRecording(false);  // counters only: the record would hold millions of calls
  refhost::reuseKeyBuffers(true);  // a run's keys cost the plug-in's time, not this machine's page faults
  hostApi() = HostApi{};
  refhost::bindInto(hostApi());
  hostApiLevel() = 430;
}

World::~World() {
  hostApi() = HostApi{};
  hostApiLevel() = 0;
  refhost::reset();
}

std::string_view sceneName(SceneKind kind) {
  switch (kind) {
    case SceneKind::Falling:
      return "(a) falling, 300x300, 10 effectors, 200 frames";
    case SceneKind::Wake:
      return "(d) wake, 300x300, 1 effector gliding, 1001 frames";
    case SceneKind::Busy:
      return "(b) busy pass, 90000 vertices x 500 events";
    case SceneKind::Demo:
      return "(c) demo, 96x96, 3 effectors, 51 frames";
  }
  return "";
}

void buildScene(World& world, SceneKind kind, const SceneOptions& options) {
  switch (kind) {
    case SceneKind::Falling:
      buildRun(world, fallingPaths(), kFallingLastFrame);
      break;
    case SceneKind::Wake:
      buildRun(world, std::array{kWakePath}, kWakeLastFrame);
      break;
    case SceneKind::Busy:
      buildBusy(world);
      break;
    case SceneKind::Demo:
      buildDemo(world);
      break;
  }
  world.params.recordKeys.setChecked(options.recordKeys);
  if (options.wind) addWindSource(world);
}

SceneWork runScene(World& world, SceneKind kind, Pass pass) {
  if (kind != SceneKind::Busy) return runFrames(world, pass);
  pass(world.ctx, world.state.WaterObject, kBusyFrame);
  return {1, liveVertexEvents(world)};
}

}  // namespace rillmark::bench
