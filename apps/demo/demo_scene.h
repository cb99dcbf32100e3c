// The demo's scene in the reference host: a square water grid and three
// effector spheres that fall through it at different places and frames.
#pragma once

#include "hostapi/host_types.h"
#include "scene/scene_commands.h"

namespace demo {

inline constexpr float kWaterSide = 8.0f;  // scene units

// Builds the water, creates the effectors with Create New Effector and
// gives them their falls. Returns the water, not yet chosen.
HostHandle buildDemoScene(rillmark::SceneCommands& commands, int gridSide, int firstFrame, int lastFrame);

}  // namespace demo
