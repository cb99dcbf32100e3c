// Every value the user adjusts on the control panel and the simulation
// reads, named after the control that shows it. The panel's controls
// display these objects; nothing else keeps a copy of a value.
#pragma once

#include "params/choice_parameter.h"
#include "params/flag_parameter.h"
#include "params/numeric_parameter.h"

namespace rillmark {

// Indices of the "Disturbance Type" items.
enum DisturbanceType : int {
  kNoise = 0,
  kNoiseClassical = 1,
  kNoisePerlin = 2,
  kTurbulence = 3,
  kTurbulenceClassical = 4,
  kTurbulencePerlin = 5,
  kTurbulenceConvolution = 6,
};

struct ParameterSet {
  ParameterSet();

  // Animation tab: the wave.
  NumericParameter spinamp;
  NumericParameter spinfreq;
  NumericParameter spinvel;
  NumericParameter spindecay;
  NumericParameter spintimedecay;
  NumericParameter spinlat;

  // Wind tab.
  FlagParameter boxwind;
  NumericParameter spinnoisescale;
  NumericParameter spinnoisetimescale;
  NumericParameter spinoctaves;
  ChoiceParameter radiodisturbance;
  FlagParameter boxspike;
  FlagParameter boxinvert;

  // Bottom panel: the run.
  FlagParameter boxrec;
  FlagParameter boxrange;
  NumericParameter spinstart;
  NumericParameter spinend;
  NumericParameter spinstep;
};

}  // namespace rillmark
