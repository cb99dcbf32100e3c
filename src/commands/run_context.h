// Everything a run command works with: the frame loop's context, with the
// view as the commands see it. It binds wherever a FrameContext is wanted.
#pragma once

#include "commands/run_view.h"
#include "sim/frame_context.h"

namespace rillmark {

struct RunContext : FrameContext {
  RunContext(SimulationState& state, ParameterSet& params, RunView& view, Platform& platform,
             EffectorList& effectors)
      : FrameContext{state, params, view, platform, effectors}, view(view) {}

  // The same object as FrameContext::view, with the commands' part too.
  RunView& view;
};

}  // namespace rillmark
