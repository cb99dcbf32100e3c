// The procedural wind: a noise pattern that drifts over the water in the
// direction from the wind source towards the water. The wind source's size
// sets the drift speed (x) and the ripple height (z).
#pragma once

#include <cstdint>

#include "hostapi/host_types.h"
#include "sim/frame_context.h"

namespace rillmark {

// What WindField works out once per synthesis pass for WindNoise.
struct WindSetup {
  float ox = 0.0f;  // offset of the noise input, grows with time
  float oy = 0.0f;
  float W = 0.0f;   // amplitude
  std::int32_t O = 0;  // octaves of the turbulence types
};

// Reads the wind source for time t. Without a live wind source, clears
// "Enable Wind Source" and returns a setup that adds nothing.
WindSetup WindField(FrameContext& ctx, float t);

// The wind height at rest vertex p for time t, with the wind parameters
// as last read. A host without the noise functions adds no wind.
float WindNoise(FrameContext& ctx, const WindSetup& wind, const HostVec3& p, float t);

}  // namespace rillmark
