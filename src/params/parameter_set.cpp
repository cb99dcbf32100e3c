#include "params/parameter_set.h"

namespace rillmark {

// Start value, DefaultVal, Min, Max, Increment. Each literal is the 32-bit
// float nearest to the decimal written.
ParameterSet::ParameterSet()
    : spinamp("Amplitude", {0.5f, 0.5f, 0.0f, 100.0f, 0.01f}),
      spinfreq("Wavelength", {0.06f, 0.06f, 0.0f, 100.0f, 0.001f}),
      spinvel("Speed", {0.75f, 0.75f, 0.0f, 100.0f, 0.01f}),
      spindecay("Decay", {0.1f, 0.1f, 0.0f, 100.0f, 0.001f}),
      spintimedecay("Time Decay", {0.05f, 0.05f, 0.0f, 100.0f, 0.001f}),
      spinlat("Life Span", {50.0f, 50.0f, 1.0f, 10000.0f, 1.0f}),
      boxwind("Enable Wind Source", false),
      spinnoisescale("Scale", {0.7f, 0.7f, 0.0f, 10000.0f, 0.1f}),
      spinnoisetimescale("Time Scale", {0.0f, 0.0f, 0.0f, 10000.0f, 0.1f}),
      spinoctaves("Octaves", {1.0f, 1.0f, 0.0f, 10000.0f, 1.0f}),
      radiodisturbance("Disturbance Type",
                       {"Noise", "Noise (Classical)", "Noise (Perlin)", "Turbulence",
                        "Turbulence (Classical)", "Turbulence (Perlin)", "Turbulence (Convolution)"},
                       kNoise),
      boxspike("Sharp Style", true),
      boxinvert("Invert", true),
      boxrec("Record Keys", true),
      boxrange("Check Range", true),
      spinstart("Start", {0.0f, 0.0f, 0.0f, 10000.0f, 1.0f}),
      spinend("End", {100.0f, 100.0f, 1.0f, 10000.0f, 1.0f}),
      spinstep("Step", {2.0f, 2.0f, 1.0f, 100.0f, 1.0f}) {}

}  // namespace rillmark
