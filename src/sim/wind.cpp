#include "sim/wind.h"

#include <cmath>

#include "hostapi/host_calls.h"

namespace rillmark {

WindSetup WindField(FrameContext& ctx, float t) {
  WindSetup wind;
  SimulationState& state = ctx.state;
  if (!host::tsxIsSobj(state.WindSourceObject)) {
    ctx.params.wind = false;
    ctx.source.clearWind();
    return wind;
  }

  HostVec3 source{}, water{}, sourceSize{};
  host::tsxGNodeGetLocation(state.WindSourceObject, &source);
  host::tsxGNodeGetLocation(state.WaterObject, &water);
  host::tsxGNodeGetSize(state.WindSourceObject, &sourceSize);

  const HostVec3 d{source.x - water.x, source.y - water.y, source.z - water.z};
  HostVec3 u{0.0f, 0.0f, 0.0f};
  // A wind source exactly at the water's location has no direction; the
  // pattern then only changes in place.
  if (d.x != 0.0f || d.y != 0.0f || d.z != 0.0f) {
    host::tsxGetNormalized3f(&u, &d);
    host::tsxMulScalar3f(&u, sourceSize.x);
  }

  wind.ox = 0.1f * t * u.x;
  wind.oy = 0.1f * t * u.y;
  if (!std::isfinite(wind.ox) || !std::isfinite(wind.oy)) wind.ox = wind.oy = 0.0f;
  wind.W = 0.1f * sourceSize.z;
  wind.O = ctx.params.octaves;
  return wind;
}

namespace {

// The host's noise for the chosen "Disturbance Type"; false when the index
// chooses nothing or the host lacks the function.
bool sampleNoise(int type, const HostVec3& q, std::int32_t octaves, float& n) {
  if (!host::familyBound(410)) return false;
  const HostApi& api = hostApi();
  switch (type) {
    case kNoise:
      if (!api.tssNoise3) return false;
      n = api.tssNoise3(&q);
      return true;
    case kNoiseClassical:
      if (!api.tssNoise3Classic) return false;
      n = api.tssNoise3Classic(&q);
      return true;
    case kNoisePerlin:
      if (!api.tssNoise3Perlin) return false;
      n = api.tssNoise3Perlin(&q);
      return true;
    case kTurbulence:
      if (!api.tssTurbulence3) return false;
      n = api.tssTurbulence3(&q, octaves);
      return true;
    case kTurbulenceClassical:
      if (!api.tssTurbulence3Classic) return false;
      n = api.tssTurbulence3Classic(&q, octaves);
      return true;
    case kTurbulencePerlin:
      if (!api.tssTurbulence3Perlin) return false;
      n = api.tssTurbulence3Perlin(&q, octaves);
      return true;
    case kTurbulenceConvolution:
      if (!api.tssTurbulence3SparseConv) return false;
      n = api.tssTurbulence3SparseConv(&q, octaves);
      return true;
    default:
      // Another index leaves the noise at 0, which Sharp Style and Invert
      // still fold.
      n = 0.0f;
      return true;
  }
}

}  // namespace

float WindNoise(FrameContext& ctx, const WindSetup& wind, const HostVec3& p, float t) {
  const SimulationParameters& params = ctx.params;
  const float S = params.noiseScale;
  const float R = params.timeScale;
  const HostVec3 q{(wind.ox + p.x) * S, (wind.oy + p.y) * S, t * R};

  float n = 0.0f;
  if (!sampleNoise(params.disturbanceType, q, wind.O, n)) return 0.0f;
  if (params.sharp) n = std::fabs((n - 0.5f) * 2.0f);
  if (params.invert) n = 1.0f - n;
  const float result = n * wind.W;
  return std::isfinite(result) ? result : 0.0f;
}

}  // namespace rillmark
