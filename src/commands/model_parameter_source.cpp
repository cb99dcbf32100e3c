#include "commands/model_parameter_source.h"

namespace rillmark {

void ModelParameterSource::read(SimulationParameters& into) {
#define RILLMARK_PARAMETER(identifier, kind, ...) \
  into.identifier = currentValue<ParameterKind::kind>(model_.identifier);
#include "params/parameter_table.inc"
#undef RILLMARK_PARAMETER
}

}  // namespace rillmark
