// The scenes the synthesis is measured and checked on, in the reference
// host (linked statically):
//  (a) falling: a 300 x 300 water, ten effectors falling through it one
//      after another over 200 frames, Life Span 50: a whole run;
//  (b) busy: 90,000 vertices and 500 live events: one pass;
//  (c) demo: the scene and run of `make demo`;
//  (d) wake: a 300 x 300 water, one effector gliding across it at its
//      height over 1,001 frames, one event a frame, Life Span 50.
// Each scene takes the synthesis pass to use, so the literal pass and the
// production pass run on exactly the same input.
#pragma once

#include <cstdint>
#include <string_view>

#include "commands/run_context.h"
#include "commands/run_view.h"
#include "commands/scene_commands.h"
#include "commands/setup_view.h"
#include "params/parameter_set.h"
#include "platform/headless/headless_platform.h"
#include "scene/effector_list.h"
#include "sim/simulation_state.h"

namespace rillmark::bench {

using Pass = void (*)(FrameContext& ctx, HostHandle water, float t);

// A fresh reference host and the plug-in state a panel would hold. Only one
// may exist at a time: the reference host is one per process.
class World : public RunView, public SetupView {
 public:
  World();
  ~World() override;
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  void setStatusText(std::string_view) override {}
  void processMessages() override {}
  void showStatistic(StatisticLabel, std::string_view) override {}
  void repaintInfoPanel() override {}
  void setSelectCaption(std::string_view) override {}
  void enableContinueAndStop() override {}
  void enableStartAndEffectors() override {}
  int currentEffectorItem() override { return -1; }

  SimulationState state;
  ParameterSet params;
  EffectorList effectors;
  HeadlessPlatform platform;
  RunContext ctx{state, params, *this, platform, effectors};
  SceneCommands commands{state, params, effectors, *this, platform};
};

enum class SceneKind { Falling, Busy, Demo, Wake };
std::string_view sceneName(SceneKind kind);

struct SceneOptions {
  bool recordKeys = true;
  bool wind = false;
};

// Builds the scene in the world: water chosen, effectors or events ready.
void buildScene(World& world, SceneKind kind, const SceneOptions& options);

// What one run of a scene did, for the per-unit figures.
struct SceneWork {
  std::int32_t frames = 0;
  std::int64_t vertexEvents = 0;  // vertices x live events, summed over passes
};

// Runs the scene with `pass`: for (a) and (c) a whole run from Start (the
// water restored and the events emptied first, as Start does), for (b) the
// one pass. Can be called again for another measurement.
SceneWork runScene(World& world, SceneKind kind, Pass pass);

}  // namespace rillmark::bench
