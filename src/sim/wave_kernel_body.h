// The body of the wave kernel, written once over a small set of vector
// operations (Ops) and compiled once per instruction set: wave_kernel_sse2.cpp
// and wave_kernel_avx2.cpp each include it with their own Ops. Everything
// here sits in an anonymous namespace, so the AVX2 build of a function can
// never be linked into the SSE2 path.
//
// Per vertex: r and the phase F in float, exactly as the literal pass
// computes them; the term itself in double, from the nearest table step
// a = j pi/256 and the remainder y = F - a (see wave_phase_table.h):
//   cos(F) e^(D F) = P_j U(y) - Q_j V(y).
// The term is rounded to float once, so it lies within about half a unit
// in the last place of its exact value.
//
// Ops provides: F (lanes of float), D (half as many doubles), kLanes, and
// the operations used below.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sim/wave_kernel.h"

namespace rillmark::detail {
namespace {

// pi/256 in two parts: the first has 32 significant bits, so a step number
// up to 2^21 times it is exact.
constexpr double kStepHigh = 0x1.921fb544p-7;
constexpr double kStepLow = 0x1.0b4611a626331p-41;

template <class Ops>
struct TermInputs {
  typename Ops::D amplitude;
  typename Ops::D u1, u2, u3, u4;  // PhaseSeries; u[0] = 1
  typename Ops::D v2, v3, v4;      // v[0] = 0, v[1] = 1
  const PhaseRow* rows;

  TermInputs(const EventWave& wave, const KernelTable& table)
      : amplitude(Ops::splat(wave.amplitude)),
        u1(Ops::splat(table.series.u[1])),
        u2(Ops::splat(table.series.u[2])),
        u3(Ops::splat(table.series.u[3])),
        u4(Ops::splat(table.series.u[4])),
        v2(Ops::splat(table.series.v[2])),
        v3(Ops::splat(table.series.v[3])),
        v4(Ops::splat(table.series.v[4])),
        rows(table.rows) {}
};

// The wave term for the phases of one half of a float vector, with their
// step numbers. Rounded in float, a step can be the nearest one's neighbour
// only for a phase a hair from halfway, so |y| stays within pi/512 and a
// whisker, where the series keeps its accuracy.
template <class Ops, int kHalf>
__attribute__((always_inline)) inline typename Ops::D waveTerm(typename Ops::D phase, typename Ops::I steps,
                                                               const TermInputs<Ops>& in) {
  using D = typename Ops::D;
  const D step = Ops::template stepsAsDouble<kHalf>(steps);
  const D y = (phase - step * Ops::splat(kStepHigh)) - step * Ops::splat(kStepLow);
  const D y2 = y * y;
  const D u = (Ops::splat(1.0) + y * in.u1) + y2 * ((in.u2 + y * in.u3) + y2 * in.u4);
  const D v = ((Ops::splat(1.0) + y * in.v2) + y2 * (in.v3 + y * in.v4)) * y;
  D p, q;
  Ops::template loadRows<kHalf>(in.rows, steps, p, q);
  return (p * u - q * v) * in.amplitude;
}

// The phases of one vector of vertices starting at i, as the literal
// pass computes them in float, and the count of those inside the front.
template <class Ops>
__attribute__((always_inline)) inline typename Ops::F phasesAt(const EventWave& wave, const VertexRun& run,
                                                               std::size_t i, typename Ops::F lanes) {
  using F = typename Ops::F;
  const F dx = Ops::splat(wave.x) - Ops::load(run.x + i);
  const F dy = Ops::splat(wave.y) - Ops::load(run.y + i);
  const F phase = Ops::sqrt(dx * dx + dy * dy) * Ops::splat(wave.k) - Ops::splat(wave.crestPhase);
  // As in the literal pass, a vertex is in the wave unless F > 2: a NaN phase is
  // in it (its term is not finite and counts as 0).
  if (run.inside) Ops::countLanes(run.inside + i, Ops::bitAnd(Ops::notGreater(phase, Ops::splat(2.0f)), lanes));
  return phase;
}

// Adds the terms of one vector of phases to the heights at i; lanes
// outside `lanes` stay as they are.
template <class Ops>
__attribute__((always_inline)) inline void addTerms(const EventWave& wave, const TermInputs<Ops>& in,
                                                    const VertexRun& run, std::size_t i, typename Ops::F phase,
                                                    typename Ops::F lanes) {
  using F = typename Ops::F;
  const F two = Ops::splat(2.0f);
  const F withTerm = Ops::bitAnd(Ops::lessEqual(phase, two), lanes);
  if (Ops::none(withTerm)) return;  // runs overlap the disc's edge: skip the double work

  // The table covers -crestPhase (the lowest phase, at r = 0) to 2; lanes
  // outside the wave are clamped into it and dropped below.
  const F clamped = Ops::min(Ops::max(phase, Ops::splat(-wave.crestPhase)), two);
  const typename Ops::I steps = Ops::nearestInteger(clamped * Ops::splat(static_cast<float>(PhaseTable::kStepsPerRadian)));
  F term = Ops::narrow(waveTerm<Ops, 0>(Ops::lowHalf(clamped), steps, in),
                       waveTerm<Ops, 1>(Ops::highHalf(clamped), steps, in));
  term = Ops::bitAnd(Ops::bitAnd(withTerm, Ops::isFinite(term)), term);
  const F z = Ops::load(run.z + i);
  const F sum = z + term;
  Ops::store(run.z + i, Ops::select(Ops::bitAnd(Ops::isFinite(sum), lanes), sum, z));
}

// Blocks of vertices go through two loops, the float phases first and the
// double terms after: each loop's chain of dependent operations is short
// enough for the processor to overlap many vectors, which one long chain
// per vector would not let it do.
template <class Ops>
void addEventWaveWith(const EventWave& wave, const KernelTable& table, const VertexRun& run) {
  using F = typename Ops::F;
  constexpr std::size_t kLanes = Ops::kLanes;
  constexpr std::size_t kBlock = 16 * kLanes;
  const TermInputs<Ops> in(wave, table);
  F phases[kBlock / kLanes];
  for (std::size_t block = 0; block < run.count; block += kBlock) {
    const std::size_t end = block + kBlock < run.count ? block + kBlock : run.count;
    std::size_t v = 0;
    for (std::size_t i = block; i < end; i += kLanes, ++v) {
      const F lanes = i + kLanes <= end ? Ops::allLanes() : Ops::firstLanes(end - i);
      phases[v] = phasesAt<Ops>(wave, run, i, lanes);
    }
    v = 0;
    for (std::size_t i = block; i < end; i += kLanes, ++v) {
      const F lanes = i + kLanes <= end ? Ops::allLanes() : Ops::firstLanes(end - i);
      addTerms<Ops>(wave, in, run, i, phases[v], lanes);
    }
  }
}

}  // namespace
}  // namespace rillmark::detail
