// Everything a run command works with: the frame loop's context, with the
// parameter model and the view as the commands see them. It binds
// wherever a FrameContext is wanted.
#pragma once

#include "commands/model_parameter_source.h"
#include "commands/run_view.h"
#include "params/parameter_set.h"
#include "sim/frame_context.h"

namespace rillmark {

// What the frame loop reads its parameters from and into. A base of
// RunContext ahead of FrameContext, so both exist before FrameContext
// refers to them.
struct RunParameters {
  explicit RunParameters(ParameterSet& model) : fromModel(model) {}
  ModelParameterSource fromModel;
  SimulationParameters lastRead;
};

struct RunContext : private RunParameters, FrameContext {
  RunContext(SimulationState& state, ParameterSet& model, RunView& view, Platform& platform, EffectorList& effectors)
      : RunParameters(model), FrameContext{state, lastRead, fromModel, view, platform, effectors}, model(model),
        runView(view) {
    readParameters();
  }
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  ParameterSet& model;
  // The same object as FrameContext::view, with the commands' part too.
  RunView& runView;
};

}  // namespace rillmark
