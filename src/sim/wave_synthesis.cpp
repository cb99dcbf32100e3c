#include "sim/wave_synthesis.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <xsimd/xsimd.hpp>

#include "hostapi/host_calls.h"
#include "sim/held_water.h"
#include "sim/message_schedule.h"
#include "sim/run_statistics.h"
#include "sim/wave_kernel.h"
#include "sim/wind.h"

namespace rillmark {

namespace {

// Wave parameters read once per pass, as the synthesis uses them.
struct WaveParameters {
  float A;  // 0.1 x Amplitude
  float k;  // 1 / Wavelength
  float v;  // Speed + 0.0001, so that the divisor of tau is never 0
  float D;  // Decay
  float T;  // Time Decay
};

WaveParameters readWaveParameters(const SimulationParameters& params) {
  return {0.1f * params.amplitude, 1.0f / params.wavelength, params.speed + 0.0001f, params.decay, params.timeDecay};
}

// Marks a vertex as changed for keying; the host may lack the call.
class VertexMarker {
 public:
  explicit VertexMarker(HostHandle water)
      : water_(water), mark_(host::familyBound(310) ? hostApi().tsxPolyhMarkVertexChange : nullptr) {}
  void operator()(int index) const {
    if (mark_) mark_(water_, index);
  }
  // A host without the call needs no marks worked out.
  bool active() const { return mark_ != nullptr; }

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

// e^x, the same bits on every platform (see wave_phase_table.cpp).
double portableExp(double x) {
  alignas(16) double out[2];
  xsimd::exp(xsimd::batch<double, xsimd::sse2>(x)).store_aligned(out);
  return out[0];
}

// The distance beyond which a vertex's phase F = r k - crestPhase is
// certainly above 2 as float arithmetic computes it: the exact bound
// (2 + crestPhase) / k widened by far more than the rounding of r and F.
// Infinite when k or the crest phase gives no bound.
double reachOf(const EventWave& wave) {
  const double k = wave.k, crest = wave.crestPhase;
  if (!(k > 0.0) || !std::isfinite(k) || !std::isfinite(crest)) return INFINITY;
  const double widened = (2.0 + crest) + (std::fabs(crest) + 2.0) * 0x1p-20;
  const double position = std::fabs(static_cast<double>(wave.x)) + std::fabs(static_cast<double>(wave.y));
  return widened / k * (1.0 + 0x1p-20) + (1.0 + position) * 0x1p-30;
}

// Decides how one event's wave is added: the table and e^(-T crest) serve
// phases and time damping within the double range, and only a positive k
// puts the lowest phase at the centre (a typed negative Wavelength does
// not); anything else takes the literal pass's arithmetic. May rebuild the
// phase table, so it runs on the pass's own thread.
PendingWave planWave(SynthesisCache& cache, const WaveParameters& w, const EventWave& wave, bool countInside) {
  const double timeDamping = static_cast<double>(w.T) * wave.crestPhase;
  PendingWave planned;
  planned.fast = std::isfinite(w.A) && w.k > 0.0f && std::fabs(timeDamping) <= 600.0 && cache.phases.setDecay(w.D) &&
                 cache.phases.reaches(-static_cast<double>(wave.crestPhase));
  planned.term = wave;
  planned.term.amplitude = planned.fast ? w.A * portableExp(-timeDamping) : 0.0;
  planned.reach = reachOf(wave);
  planned.countInside = countInside;
  return planned;
}

// Adds a planned wave to the heights of one band, visiting only the grid
// runs its front has reached. heights and inside hold the band's slots
// from band.begin on, padded for the kernel.
void addWave(const SynthesisCache& cache, const WaveParameters& w, const PendingWave& wave,
             const RestShapeGrid::Band& band, float* heights, std::uint32_t* inside) {
  const RestShapeGrid& grid = cache.grid;
  const EventWave& term = wave.term;
  grid.forEachRunNear(term.x, term.y, wave.reach, band, [&](std::size_t begin, std::size_t end) {
    const std::size_t at = begin - band.begin;
    const VertexRun run{grid.x() + begin, grid.y() + begin, heights + at, wave.countInside ? inside + at : nullptr,
                        end - begin};
    if (wave.fast) {
      addEventWave(term, cache.phases, run);
    } else {
      addEventWaveExactly(term, w.A, w.D, w.T, run);
    }
  });
}

// With threads lent, each band keeps its heights and counts in its own
// arrays for the whole pass, from the rest shape to the host's array.
bool banded(const SynthesisCache& cache) { return cache.bands && cache.bandScratch.size() >= 2; }

template <class Work>
void forEachBand(SynthesisCache& cache, const Work& work) {
  cache.bands->run([&](std::size_t b) {
    // A small water has fewer bands than were asked for.
    if (b < cache.bandScratch.size()) work(cache.bandScratch[b]);
  });
}

// Adds the waves planned so far, in their order: on this thread, or band
// by band on the threads a program lent. Banded, the same trip over the
// bands also starts them from the rest shape the first time in a pass,
// and, when `out` is given, ends the pass by writing the heights there.
void addPendingWaves(SynthesisCache& cache, const WaveParameters& w, std::span<HostVec3> out = {}) {
  std::vector<PendingWave>& pending = cache.pendingWaves;
  if (banded(cache)) {
    const RestShapeGrid& grid = cache.grid;
    forEachBand(cache, [&](SynthesisCache::BandScratch& s) {
      const std::size_t begin = s.band.begin, size = s.band.end - s.band.begin;
      if (cache.bandsFromRest) {
        // + 0: a rest height of -0 comes out as 0, as the literal pass's
        // first addition makes it.
        for (std::size_t i = 0; i < size; ++i) s.heights[i] = cache.restVertices[grid.vertexAt(begin + i)].z + 0.0f;
        if (cache.countReached) std::fill(s.inside.begin(), s.inside.end(), 0u);
      }
      for (const PendingWave& wave : pending) addWave(cache, w, wave, s.band, s.heights.data(), s.inside.data());
      if (!out.empty()) {
        for (std::size_t i = 0; i < size; ++i) out[grid.vertexAt(begin + i)].z = s.heights[i];
        if (cache.countReached) std::copy_n(s.inside.data(), size, cache.inside.data() + begin);
      }
    });
    cache.bandsFromRest = false;
  } else {
    const RestShapeGrid::Band all = cache.grid.whole();
    for (const PendingWave& wave : pending) addWave(cache, w, wave, all, cache.heights.data(), cache.inside.data());
    // Written in grid order, which reads the cache in sequence and writes
    // the host's array a few rows at a time.
    for (std::size_t slot = 0; slot < out.size(); ++slot) out[cache.grid.vertexAt(slot)].z = cache.heights[slot];
  }
  pending.clear();
}

// Cuts the grid into the bands a program lent threads for.
void cutBands(SynthesisCache& cache) {
  const std::size_t count = cache.bands ? cache.bands->count() : 0;
  cache.bandScratch.clear();
  cache.bandCount = count;
  if (count < 2) return;
  for (const RestShapeGrid::Band& band : cache.grid.bands(count)) {
    const std::size_t size = band.end - band.begin + kVectorPadding;
    cache.bandScratch.push_back({band, std::vector<float>(size, 0.0f), std::vector<std::uint32_t>(size, 0u)});
  }
}

void prepareCache(SynthesisCache& cache, HostHandle restCopy, std::span<const HostVec3> rest) {
  const int n = static_cast<int>(rest.size());
  if (cache.restCopy != restCopy || cache.restVertices != rest.data() || cache.vertexCount != n) {
    cache.grid.build(rest);
    cache.heights.assign(rest.size() + kVectorPadding, 0.0f);
    cache.inside.assign(rest.size() + kVectorPadding, 0);
    cache.restCopy = restCopy;
    cache.restVertices = rest.data();
    cache.vertexCount = n;
    cutBands(cache);
  }
  if (cache.bandCount != (cache.bands ? cache.bands->count() : 0)) cutBands(cache);
  cache.pendingWaves.clear();
  // Every pass starts from the rest shape (+ 0: a rest height of -0 comes
  // out as 0, as the literal pass's first addition makes it).
  if (banded(cache)) {
    // Done by the bands themselves, on their first trip (addPendingWaves).
    cache.bandsFromRest = true;
    return;
  }
  for (std::size_t slot = 0; slot < rest.size(); ++slot) cache.heights[slot] = rest[cache.grid.vertexAt(slot)].z + 0.0f;
  if (cache.countReached) std::fill(cache.inside.begin(), cache.inside.end(), 0u);
}

// The wind, once per vertex, after the first event's wave.
void addWind(FrameContext& ctx, SynthesisCache& cache, const WindSetup& wind, std::span<const HostVec3> rest, float t) {
  if (banded(cache)) {
    // Band by band on this thread (the host's noise is the host's to
    // share): each height still gets its own vertex's wind.
    for (SynthesisCache::BandScratch& s : cache.bandScratch) {
      for (std::size_t slot = s.band.begin; slot < s.band.end; ++slot) {
        float& z = s.heights[slot - s.band.begin];
        z = finiteSum(z, 0.0f, WindNoise(ctx, wind, rest[cache.grid.vertexAt(slot)], t));
      }
    }
    return;
  }
  for (std::size_t i = 0; i < rest.size(); ++i) {
    float& z = cache.heights[cache.grid.slotOf(i)];
    z = finiteSum(z, 0.0f, WindNoise(ctx, wind, rest[i], t));
  }
}

void restWithWind(FrameContext& ctx, std::span<const HostVec3> rest, std::span<HostVec3> out, const WindSetup& wind,
                  float t, const VertexMarker& mark) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    float w = 0.0f;
    if (ctx.params.wind) w = WindNoise(ctx, wind, rest[i], t);
    out[i].z = finiteSum(rest[i].z, 0.0f, w);
    if (ctx.params.recordKeys) mark(static_cast<int>(i));
  }
}

}  // namespace

std::string statusText(std::int32_t frame, std::int32_t liveEvents) {
  return "Frame:" + std::to_string(frame) + "  Events:" + std::to_string(liveEvents);
}

// The literal pass (bench/literal_pass.h) visits every vertex for every
// live event and marks a vertex once per event. This one gives the host
// the same heights (within a few units in the last place) and the same set
// of marked vertices:
//  - an event's wave is nothing where F > 2, outside a disc around it, so
//    only the grid runs the disc reaches are computed;
//  - heights are summed in the cache, in grid order but in the literal
//    pass's event order, and written to the host once at the end;
//  - a vertex is marked once if any event would have marked it: always
//    where F > 2 (outside the disc), everywhere for an event that ran with
//    Record Keys checked.
// Window messages are processed before an event (retired ones too) once
// the message schedule says they are due; the status text set above is
// painted then.
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
  // Both arrays are read with n vertices; should the rest copy be shorter,
  // the pass stops at its end rather than read past it.
  const int restCount = host::tsxPolyhGetNbrVxs(state.WaterRestCopy);
  const auto usable = static_cast<std::size_t>((out && rest) ? std::max(0, std::min(n, restCount)) : 0);
  const std::span<const HostVec3> restShape{rest, usable};
  const std::span<HostVec3> heights{out, usable};

  const WaveParameters w = readWaveParameters(ctx.params);
  const WindSetup wind = WindField(ctx, t);
  const VertexMarker mark(water);

  counters.RetiredCount = 0;
  const std::int32_t eventCount = state.Events.EventCount();
  if (eventCount == 0) {
    restWithWind(ctx, restShape, heights, wind, t, mark);
  } else {
    SynthesisCache& cache = state.Synthesis;
    cache.countReached = mark.active();
    prepareCache(cache, state.WaterRestCopy, restShape);
    bool markEverything = false;
    std::uint32_t countedEvents = 0;
    for (std::int32_t e = 0; e < eventCount; ++e) {
      // Without lent threads each wave is added before messages are
      // processed, as soon as it is decided; with them, all at the end,
      // which the bands share out.
      if (!banded(cache)) addPendingWaves(cache, w);
      // The host or a handler may have deleted or reshaped the water or its
      // rest copy while messages were processed: the pass then ends without
      // another write, and the frame loop ends the run.
      if (processMessagesIfDue(ctx) && !stillHeld({out, rest, n, restCount}, water, state.WaterRestCopy)) return;

      const RippleEvent& event = state.Events[e];
      const float f = static_cast<float>(event.frame);
      const float tau = (0.5f * event.size * w.k / w.v + t) - f;
      // The first event is never retired: its pass lays down the rest shape.
      if (e > 0 && t - f > ctx.params.lifeSpan) {
        ++counters.RetiredCount;
        continue;
      }
      // With Record Keys every vertex is marked in this event's pass;
      // without, those its wave has not reached.
      const bool recording = ctx.params.recordKeys;
      markEverything = markEverything || recording;
      if (!recording) ++countedEvents;
      cache.pendingWaves.push_back(
          planWave(cache, w, EventWave{event.x, event.y, w.k, tau * w.v, 0.0}, !recording && cache.countReached));

      // The wind rides along with the first event, once per vertex.
      if (e == 0 && ctx.params.wind) {
        addPendingWaves(cache, w);
        addWind(ctx, cache, wind, restShape, t);
      }
    }
    addPendingWaves(cache, w, heights);
    // Marked in vertex order.
    for (std::size_t i = 0; i < usable && mark.active(); ++i) {
      if (markEverything || cache.inside[cache.grid.slotOf(i)] < countedEvents) mark(static_cast<int>(i));
    }
  }

  host::tsxPolyhMarkGeomChange(water);
  host::tsxSceneDraw();
}

}  // namespace rillmark
