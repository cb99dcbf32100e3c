// Everything the frame loop, event detection and synthesis work with,
// handed to them together.
#pragma once

#include "params/parameter_set.h"
#include "platform/platform.h"
#include "scene/effector_list.h"
#include "sim/frame_view.h"
#include "sim/simulation_state.h"

namespace rillmark {

struct FrameContext {
  SimulationState& state;
  ParameterSet& params;
  FrameView& view;
  Platform& platform;
  EffectorList& effectors;
};

}  // namespace rillmark
