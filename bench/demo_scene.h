// The demo's scene in the reference host: a square water grid and three
// effector spheres that fall through it at different places and frames.
// `make demo` runs it on the panel; the benchmarks measure the same run.
#pragma once

#include <functional>
#include <string>

#include "hostapi/host_types.h"

namespace demo {

inline constexpr float kWaterSide = 8.0f;  // scene units

// Builds the water, creates the effectors with createEffector (which
// presses Create New Effector and gives back the new sphere's name) and
// gives them their falls. Returns the water, not yet chosen.
HostHandle buildDemoScene(const std::function<std::string()>& createEffector, int gridSide, int firstFrame,
                          int lastFrame);

}  // namespace demo
