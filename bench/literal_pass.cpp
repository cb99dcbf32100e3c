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

// Wave parameters read once per pass, as the synthesis uses them.
struct WaveParameters {
  float A;  // 0.1 x Amplitude
  float k;  // 1 / Wavelength
  float v;  // Speed + 0.0001, so that the divisor of tau is never 0
  float D;  // Decay
  float T;  // Time Decay
};

WaveParameters readWaveParameters(const ParameterSet& params) {
  return {0.1f * params.spinamp.Value(), 1.0f / params.spinfreq.Value(), params.spinvel.Value() + 0.0001f,
          params.spindecay.Value(), params.spintimedecay.Value()};
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

// Keeps a written height finite: a contribution that overflows (huge
// typed values, a Wavelength of 0) is left out rather than stored.
inline float finiteSum(float base, float wave, float wind) {
  const float all = base + wave + wind;
  if (std::isfinite(all)) return all;
  const float withoutWave = base + wind;
  return std::isfinite(withoutWave) ? withoutWave : base;
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
void addEventWave(RunContext& ctx, const PassInputs& in, const VertexMarker& mark, std::int32_t e,
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
    if (first && ctx.params.boxwind.checked()) wind = WindNoise(ctx, in.wind, rest, in.t);

    const float dx = event.x - rest.x;
    const float dy = event.y - rest.y;
    const float r = std::sqrt(dx * dx + dy * dy);
    const float F = r * w.k - crestPhase;
    const float base = first ? rest.z : in.out[i].z;
    const int index = static_cast<int>(i);

    if (F > 2.0f) {
      // The ripple has not reached this vertex yet.
      in.out[i].z = finiteSum(base, 0.0f, wind);
      mark(index);
      continue;
    }
    // cos and exp in double, rounded once to float: the same heights from
    // every C library, Linux and Win32 alike.
    const double exponent = -(static_cast<double>(crestPhase - r * w.k) * w.D + timeDamping);
    float h = static_cast<float>(static_cast<double>(w.A) * std::cos(static_cast<double>(F)) * std::exp(exponent));
    if (!std::isfinite(h)) h = 0.0f;
    in.out[i].z = finiteSum(base, h, wind);
    if (ctx.params.boxrec.checked()) mark(index);
  }
}

void restWithWind(RunContext& ctx, const PassInputs& in, const VertexMarker& mark) {
  const std::size_t n = in.out.size();
  for (std::size_t i = 0; i < n; ++i) {
    float wind = 0.0f;
    if (ctx.params.boxwind.checked()) wind = WindNoise(ctx, in.wind, in.rest[i], in.t);
    in.out[i].z = finiteSum(in.rest[i].z, 0.0f, wind);
    if (ctx.params.boxrec.checked()) mark(static_cast<int>(i));
  }
}

}  // namespace

void SynthesizeFrame(RunContext& ctx, HostHandle water, float t) {
  SimulationState& state = ctx.state;
  RunCounters& counters = state.Counters;

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
                readWaveParameters(ctx.params),
                WindField(ctx, t),
                t};
  const VertexMarker mark(water);

  counters.RetiredCount = 0;
  const std::int32_t eventCount = state.Events.EventCount();
  for (std::int32_t e = 0; e < eventCount; ++e) {
    ctx.view.processMessages();

    const RippleEvent& event = state.Events[e];
    const float f = static_cast<float>(event.frame);
    const float tau = (0.5f * event.size * in.wave.k / in.wave.v + t) - f;
    // The first event is never retired: its pass lays down the rest shape.
    if (e > 0 && t - f > ctx.params.spinlat.Value()) {
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
