// Everything the frame loop, event detection and synthesis work with,
// handed to them together.
#pragma once

#include "platform/platform.h"
#include "scene/effector_list.h"
#include "sim/frame_view.h"
#include "sim/simulation_parameters.h"
#include "sim/simulation_state.h"

namespace rillmark {

struct FrameContext {
  SimulationState& state;
  SimulationParameters& params;  // as last read from source
  ParameterSource& source;
  FrameView& view;
  Platform& platform;
  EffectorList& effectors;

  // Takes the parameters' current values (simulation_parameters.h says when).
  void readParameters() { source.read(params); }
};

}  // namespace rillmark
