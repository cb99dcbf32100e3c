// The simulation's parameters read from the panel's parameter model: how
// the values the user sets in the controls reach a run.
#pragma once

#include "params/parameter_set.h"
#include "sim/simulation_parameters.h"

namespace rillmark {

class ModelParameterSource : public ParameterSource {
 public:
  explicit ModelParameterSource(ParameterSet& model) : model_(model) {}

  void read(SimulationParameters& into) override;
  void clearWind() override { model_.wind.setChecked(false); }

 private:
  ParameterSet& model_;
};

}  // namespace rillmark
