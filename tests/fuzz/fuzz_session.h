// The plug-in's state for one fuzz input: the reference host bound into the
// host table once, and a simulation, parameters, effector list, recording
// view and platform that every input starts afresh, as a fresh load has
// them. Built once per process (inputs run by the million).
#pragma once

#include "commands/run_context.h"
#include "commands/scene_commands.h"
#include "hostapi/host_api.h"
#include "params/parameter_set.h"
#include "refhost/refhost.h"
#include "scene/effector_list.h"
#include "sim/simulation_state.h"
#include "sim/wave_kernel.h"
#include "support/recording_run_view.h"

namespace rillmark::fuzz {

struct FuzzSession {
  SimulationState state;
  ParameterSet params;
  testing::RecordingRunView view;
  testing::FakePlatform platform;
  EffectorList effectors;
  RunContext ctx{state, params, view, platform, effectors};
  SceneCommands commands{state, params, effectors, view, platform};

  // The reference host emptied and this state as a fresh load has it.
  void reset() {
    refhost::reset();
    refhost::setRecording(false);
    hostApiLevel() = 430;
    state.WaterObject = state.WaterSnapshot = state.WaterRestCopy = state.WindSourceObject = nullptr;
    state.RestCopySource = nullptr;
    state.Events.empty();
    state.Counters = RunCounters{};
    state.TableFullReported = false;
    params = ParameterSet();
    effectors.clear();
    platform.messages.clear();
    platform.answers.clear();
    platform.dialogs.clear();
    view = testing::RecordingRunView();
    forceVectorPath(std::nullopt);
  }
};

inline FuzzSession& fuzzSession() {
  static FuzzSession* session = [] {
    refhost::bindInto(hostApi());
    return new FuzzSession;
  }();
  return *session;
}

}  // namespace rillmark::fuzz
