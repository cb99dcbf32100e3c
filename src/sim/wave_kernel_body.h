// The body of the wave kernel, written once over a small set of vector
// operations (Ops) and compiled once per instruction set: wave_kernel_sse2.cpp
// and wave_kernel_avx2.cpp each include it with their own Ops. Everything
// here sits in an anonymous namespace, so the AVX2 build of a function can
// never be linked into the SSE2 path.
//
// Per vertex: r and the phase F in float, exactly as the documented pass
// computes them; the term itself in double, from the nearest table step
// a = j pi/64 and the remainder y = F - a:
//   cos(F) e^(D F) = (P_j cos y - Q_j sin y) e^(D y)
// with short series for cos y, sin y and e^(D y). The term is rounded to
// float once, so it lies within about half a unit in the last place of
// its exact value.
//
// Ops provides: F (lanes of float), D (half as many doubles), kLanes, and
// the operations used below.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sim/wave_kernel.h"

namespace rillmark::detail {
namespace {

// Adding and subtracting 1.5 x 2^52 rounds a double to the nearest integer
// and leaves that integer in the low bits of the sum.
constexpr double kRoundingShift = 6755399441055744.0;
// pi/64 in two parts: the first has 32 significant bits, so a step number
// up to 2^21 times it is exact.
constexpr double kStepHigh = 0x1.921fb544p-5;
constexpr double kStepLow = 0x1.0b4611a626331p-39;

template <class Ops>
struct TermInputs {
  typename Ops::D amplitude;
  typename Ops::D reducedDecay;
  const PhaseRow* rows;
  int squarings;
};

// The wave term for the phases of one half of a float vector.
template <class Ops>
__attribute__((always_inline)) inline typename Ops::D waveTerm(typename Ops::D phase, const TermInputs<Ops>& in) {
  using D = typename Ops::D;
  const D shifted = phase * Ops::splat(PhaseTable::kStepsPerRadian) + Ops::splat(kRoundingShift);
  const D step = shifted - Ops::splat(kRoundingShift);
  const D y = (phase - step * Ops::splat(kStepHigh)) - step * Ops::splat(kStepLow);
  const D z = y * y;
  // |y| <= pi/128: cos y to z^2 and sin y to y z^2 are exact to 1e-12.
  const D cosY = (z * Ops::splat(1.0 / 24) - Ops::splat(0.5)) * z + Ops::splat(1.0);
  const D sinY = ((z * Ops::splat(1.0 / 120) - Ops::splat(1.0 / 6)) * z) * y + y;
  const D u = y * in.reducedDecay;
  const D u2 = u * u;
  D growth = (Ops::splat(1.0) + u) +
             u2 * ((Ops::splat(0.5) + u * Ops::splat(1.0 / 6)) + u2 * (Ops::splat(1.0 / 24) + u * Ops::splat(1.0 / 120)));
  for (int i = 0; i < in.squarings; ++i) growth = growth * growth;
  D p, q;
  Ops::loadRows(in.rows, shifted, p, q);
  return (p * cosY - q * sinY) * (growth * in.amplitude);
}

// One vector of vertices starting at i; lanes outside `lanes` stay as they are.
template <class Ops>
__attribute__((always_inline)) inline void addVector(const EventWave& wave, const TermInputs<Ops>& in,
                                                     const VertexRun& run, std::size_t i, typename Ops::F lanes) {
  using F = typename Ops::F;
  const F two = Ops::splat(2.0f);
  const F dx = Ops::splat(wave.x) - Ops::load(run.x + i);
  const F dy = Ops::splat(wave.y) - Ops::load(run.y + i);
  const F r = Ops::sqrt(dx * dx + dy * dy);
  const F phase = r * Ops::splat(wave.k) - Ops::splat(wave.crestPhase);

  // As documented: a vertex is in the wave unless F > 2 (so a NaN phase is
  // in it, though its term is not finite and counts as 0).
  const F inWave = Ops::bitAnd(Ops::notGreater(phase, two), lanes);
  if (run.inside) Ops::countLanes(run.inside + i, inWave);
  const F withTerm = Ops::bitAnd(Ops::lessEqual(phase, two), lanes);
  if (Ops::none(withTerm)) return;  // runs overlap the disc's edge: skip the double work

  // The table covers -crestPhase (the lowest phase, at r = 0) to 2; lanes
  // outside the wave are clamped into it and dropped below.
  const F clamped = Ops::min(Ops::max(phase, Ops::splat(-wave.crestPhase)), two);
  F term = Ops::narrow(waveTerm<Ops>(Ops::lowHalf(clamped), in), waveTerm<Ops>(Ops::highHalf(clamped), in));
  term = Ops::bitAnd(Ops::bitAnd(withTerm, Ops::isFinite(term)), term);
  const F z = Ops::load(run.z + i);
  const F sum = z + term;
  Ops::store(run.z + i, Ops::select(Ops::bitAnd(Ops::isFinite(sum), lanes), sum, z));
}

template <class Ops>
void addEventWaveWith(const EventWave& wave, const PhaseTable& table, const VertexRun& run) {
  constexpr std::size_t kLanes = Ops::kLanes;
  const TermInputs<Ops> in{Ops::splat(wave.amplitude), Ops::splat(table.reducedDecay()), table.rows(),
                           table.squarings()};
  std::size_t i = 0;
  for (; i + kLanes <= run.count; i += kLanes) addVector<Ops>(wave, in, run, i, Ops::allLanes());
  if (i < run.count) addVector<Ops>(wave, in, run, i, Ops::firstLanes(run.count - i));
}

}  // namespace
}  // namespace rillmark::detail
