// The parameters as the simulation reads them: plain values under physical
// names (amplitude, wavelength, speed, lifeSpan, recordKeys, ...), one
// field per row of the parameter table (params/parameter_table.inc), where
// each row's caption, range and help say what it means. A float where the
// simulation reads a spinner's Value, an integer where it reads IntValue,
// a bool for a check box, the chosen index for a radio group.
//
// The simulation never reads the panel's controls. It asks its
// ParameterSource to fill these fields before every frame, before and
// after every pass, and after every time it has processed window messages:
// the user can change a control only while messages are processed, so each
// read sees the value of that moment, as a read of the control would.
#pragma once

#include "params/parameter_table.h"

namespace rillmark {

struct SimulationParameters {
#define RILLMARK_PARAMETER(identifier, kind, ...) ParameterValue<ParameterKind::kind> identifier{};
#include "params/parameter_table.inc"
#undef RILLMARK_PARAMETER
};

// Where the values come from: the commands fill them from the controls'
// parameter model.
class ParameterSource {
 public:
  virtual ~ParameterSource() = default;

  // Fills every field with the current value.
  virtual void read(SimulationParameters& into) = 0;
  // The wind source is gone: "Enable Wind Source" is cleared where the user
  // sees it, and stays cleared until the user checks it again.
  virtual void clearWind() = 0;
};

}  // namespace rillmark
