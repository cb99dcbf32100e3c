#include "bench/literal_pass.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>

#include "hostapi/host_calls.h"
#include "sim/run_statistics.h"
#include "sim/wave_synthesis.h"
#include "sim/wind.h"

namespace rillmark::literal {

namespace {

// The wave parameters as the panel's table defines them, read once per
// pass. Computed here from the parameters, not through the production
// pass, so that a change there shows up as a disagreement.
struct WaveParameters {
  float A, k, v, D, T;
};

WaveParameters waveParametersOf(const SimulationParameters& params) {
  WaveParameters w{};
  w.A = params.amplitude * 0.1f;
  w.k = 1.0f / params.wavelength;
  w.v = params.speed + 0.0001f;  // never a divisor of 0
  w.D = params.decay;
  w.T = params.timeDecay;
  return w;
}

// Marks a vertex as changed for keying; the host may lack the call.
class VertexMarker {
 public:
  explicit VertexMarker(HostHandle water)
      : water_(water), mark_(host::familyBound(310) ? hostApi().tsxPolyhMarkVertexChange : nullptr) {}
  void operator()(int index) const {
    if (mark_) mark_(water_, index);
  }

 private:
  HostHandle water_;
  host_fn::tsxPolyhMarkVertexChange mark_;
};

// The height written: base + h + wind in float, as the host stores it.
// The plug-in never writes a height that is not a finite number where its
// base is one; the reference applies that rule on its own terms: it drops
// the terms that overflow, the wave before the wind, and never the base.
float heightOf(float base, float h, float wind) {
  const float withEverything = base + h + wind;
  if (std::isfinite(withEverything)) return withEverything;
  const float withWindOnly = base + wind;
  if (std::isfinite(withWindOnly)) return withWindOnly;
  return base;
}

struct PassInputs {
  std::span<const HostVec3> rest;
  std::span<HostVec3> out;
  WaveParameters wave;
  WindSetup wind;
  float t;
};

// Adds the wave of event e to every vertex. The wind rides along in the
// first event's pass, so it is added exactly once per vertex.
void addEventWave(FrameContext& ctx, const PassInputs& in, const VertexMarker& mark, std::int32_t e,
                  const RippleEvent& event, float tau) {
  const WaveParameters& w = in.wave;
  const bool first = e == 0;
  // Invariant over the vertices: the phase of the crest.
  const float crestPhase = tau * w.v;
  const float timeDamping = w.T * crestPhase;
  const std::size_t n = in.out.size();
  for (std::size_t i = 0; i < n; ++i) {
    const HostVec3& rest = in.rest[i];
    float wind = 0.0f;
    if (first && ctx.params.wind) wind = WindNoise(ctx, in.wind, rest, in.t);

    const float dx = event.x - rest.x;
    const float dy = event.y - rest.y;
    const float r = std::sqrt(dx * dx + dy * dy);
    const float F = r * w.k - crestPhase;
    const float base = first ? rest.z : in.out[i].z;
    const int index = static_cast<int>(i);

    if (F > 2.0f) {
      // The ripple has not reached this vertex yet.
      in.out[i].z = heightOf(base, 0.0f, wind);
      mark(index);
      continue;
    }
    // cos and exp in double, rounded once to float: the same heights from
    // every C library, Linux and Win32 alike.
    const double exponent = -(static_cast<double>(crestPhase - r * w.k) * w.D + timeDamping);
    float h = static_cast<float>(static_cast<double>(w.A) * std::cos(static_cast<double>(F)) * std::exp(exponent));
    if (!std::isfinite(h)) h = 0.0f;
    in.out[i].z = heightOf(base, h, wind);
    if (ctx.params.recordKeys) mark(index);
  }
}

void restWithWind(FrameContext& ctx, const PassInputs& in, const VertexMarker& mark) {
  const std::size_t n = in.out.size();
  for (std::size_t i = 0; i < n; ++i) {
    float wind = 0.0f;
    if (ctx.params.wind) wind = WindNoise(ctx, in.wind, in.rest[i], in.t);
    in.out[i].z = heightOf(in.rest[i].z, 0.0f, wind);
    if (ctx.params.recordKeys) mark(static_cast<int>(i));
  }
}

}  // namespace

void SynthesizeFrame(FrameContext& ctx, HostHandle water, float t) {
  SimulationState& state = ctx.state;
  RunCounters& counters = state.Counters;
  ctx.readParameters();

  ctx.view.setStatusText(statusText(counters.CurrentFrame, state.liveEventCount()));
  if (counters.InfoPanelVisible) UpdateRunStatistics(ctx);

  HostVec3* out = host::tsxPolyhGetVxArray(water);
  const HostVec3* rest = host::tsxPolyhGetVxArray(state.WaterRestCopy);
  const int n = host::tsxPolyhGetNbrVxs(water);
  counters.VertexCount = n;
  // Both arrays have n vertices: the run only goes on with a rest copy of
  // this very water (Continue starts afresh otherwise).
  const int usable = (out && rest) ? std::max(0, n) : 0;

  PassInputs in{{rest, static_cast<std::size_t>(usable)},
                {out, static_cast<std::size_t>(usable)},
                waveParametersOf(ctx.params),
                WindField(ctx, t),
                t};
  const VertexMarker mark(water);

  counters.RetiredCount = 0;
  const std::int32_t eventCount = state.Events.EventCount();
  for (std::int32_t e = 0; e < eventCount; ++e) {
    ctx.view.processMessages();
    ctx.readParameters();  // the handlers may have changed some

    const RippleEvent& event = state.Events[e];
    const float f = static_cast<float>(event.frame);
    const float tau = (0.5f * event.size * in.wave.k / in.wave.v + t) - f;
    // The first event is never retired: its pass lays down the rest shape.
    if (e > 0 && t - f > ctx.params.lifeSpan) {
      ++counters.RetiredCount;
      continue;
    }
    addEventWave(ctx, in, mark, e, event, tau);
  }
  if (eventCount == 0) restWithWind(ctx, in, mark);

  host::tsxPolyhMarkGeomChange(water);
  host::tsxSceneDraw();
}

}  // namespace rillmark::literal
