// Everything a run works with, handed to the simulation functions together.
#pragma once

#include "params/parameter_set.h"
#include "platform/platform.h"
#include "scene/effector_list.h"
#include "sim/run_view.h"
#include "sim/simulation_state.h"

namespace rillmark {

struct RunContext {
  SimulationState& state;
  ParameterSet& params;
  RunView& view;
  Platform& platform;
  EffectorList& effectors;
};

}  // namespace rillmark
