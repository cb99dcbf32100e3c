// The body of the wave kernel, written once over a small set of vector
// operations (Ops) and compiled once per instruction set: wave_kernel_sse2.cpp,
// wave_kernel_avx2.cpp and wave_kernel_avx512.cpp each include it with their
// own Ops. Everything here sits in an anonymous namespace, so the AVX2 build
// of a function can never be linked into the SSE2 path.
//
// Per vertex: r and the phase F in float, exactly as the literal pass
// computes them, the table step j and the remainder t in float (exact);
// then the term in double from row j of the table (see wave_phase_table.h),
// rounded to float once.
//
// Ops provides: F (kLanes floats), D (kDoubles doubles), I (kLanes
// integers), M (a mask of kLanes lanes) and the operations used below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "sim/wave_kernel.h"

namespace rillmark::detail {
namespace {

constexpr std::size_t kBlockLanes = 256;
constexpr int kRowShift = 5;  // a table row is 32 bytes
static_assert(sizeof(PhaseRow) == 1 << kRowShift);

// What the three loops of a block hand on to each other.
template <class Ops>
struct BlockScratch {
  static constexpr std::size_t kVectors = kBlockLanes / Ops::kLanes;
  alignas(64) float remainders[kBlockLanes];
  alignas(64) std::int32_t rowOffsets[kBlockLanes];
  alignas(64) float terms[kBlockLanes];
  typename Ops::M inWave[kVectors];
  std::uint32_t withTerms[kVectors];  // the vectors with a lane in the wave
};

// Adds the wave to the run, with the quartic term or without. A block of
// vertices goes through three short loops, each over the whole block: the
// float phases, the double terms (only for vectors with a vertex in the
// wave), the sums. Loop bodies with no chain from one vector to the next
// let the processor overlap many vectors; one long chain per vector would
// keep it waiting on latencies instead.
template <class Ops, bool kQuartic>
void addEventWaveWith(const EventWave& wave, const KernelTable& table, const VertexRun& run) {
  using F = typename Ops::F;
  using D = typename Ops::D;
  using I = typename Ops::I;
  using M = typename Ops::M;
  constexpr std::size_t kLanes = Ops::kLanes;
  constexpr std::size_t kDoubles = Ops::kDoubles;

  const float* const xs = run.x;
  const float* const ys = run.y;
  float* const zs = run.z;
  std::uint32_t* const inside = run.inside;
  const F x = Ops::splat(wave.x), y = Ops::splat(wave.y), k = Ops::splat(wave.k);
  const F crest = Ops::splat(wave.crestPhase);
  const F lowest = Ops::splat(-wave.crestPhase);  // the phase at r = 0
  const F two = Ops::splat(2.0f);
  const F perRadian = Ops::splat(static_cast<float>(PhaseTable::kStepsPerRadian));
  const F step = Ops::splat(PhaseTable::kStep);
  const I highest = Ops::splat(PhaseTable::kHighestStep);
  const D amplitude = Ops::splat(wave.amplitude);
  const D quartic3 = Ops::splat(table.quartic3), quartic2 = Ops::splat(table.quartic2);
  const char* const rows = reinterpret_cast<const char*>(table.rows);
  BlockScratch<Ops> s;

  // Vector v of the block: its phases, as the literal pass computes them,
  // clamped into the table's range (lanes outside the wave included), the
  // table step j and remainder t of each; row j lies at byte
  // (kHighestStep - j) x sizeof(PhaseRow) of the table. A vertex is in the
  // wave unless F > 2, so a NaN phase is in it (its term counts as 0). Only
  // the `lanes` of a partial vector count.
  auto phases = [&](std::size_t block, std::size_t v, auto partial, M lanes, std::size_t& withTerms)
                    __attribute__((always_inline)) {
    const std::size_t i = block + v * kLanes;
    const F dx = x - Ops::load(xs + i);
    const F dy = y - Ops::load(ys + i);
    const F phase = Ops::sqrt(dx * dx + dy * dy) * k - crest;
    M reached = Ops::notGreater(phase, two);
    M inWave = Ops::lessEqual(phase, two);
    if constexpr (decltype(partial)::value) {
      reached = Ops::both(reached, lanes);
      inWave = Ops::both(inWave, lanes);
    }
    if (inside) Ops::countLanes(inside + i, reached);
    const F clamped = Ops::min(Ops::max(phase, lowest), two);  // max gives `lowest` for NaN
    const I j = Ops::nearestInteger(clamped * perRadian);
    Ops::store(s.remainders + v * kLanes, clamped - Ops::toFloat(j) * step);
    Ops::storeInt(s.rowOffsets + v * kLanes, Ops::template shiftLeft<kRowShift>(Ops::subtract(highest, j)));
    s.inWave[v] = inWave;
    s.withTerms[withTerms] = static_cast<std::uint32_t>(v);
    withTerms += Ops::none(inWave) ? 0 : 1;
  };

  for (std::size_t block = 0; block < run.count; block += kBlockLanes) {
    const std::size_t size = run.count - block < kBlockLanes ? run.count - block : kBlockLanes;
    const std::size_t full = size / kLanes;
    std::size_t withTerms = 0;
    for (std::size_t v = 0; v < full; ++v) phases(block, v, std::false_type{}, M{}, withTerms);
    if (size > full * kLanes) phases(block, full, std::true_type{}, Ops::firstLanes(size - full * kLanes), withTerms);

    // Terms: the polynomial of row j at t, times the amplitude.
    for (std::size_t w = 0; w < withTerms; ++w) {
      const std::size_t first = s.withTerms[w] * kLanes;
      for (std::size_t lane = first; lane < first + kLanes; lane += kDoubles) {
        const D t = Ops::widen(s.remainders + lane);
        D c0, c1, c2, c3;
        Ops::loadRows(rows, s.rowOffsets + lane, c0, c1, c2, c3);
        D high = c3;
        if constexpr (kQuartic) high = c3 + t * (quartic3 * c3 - quartic2 * c2);
        Ops::storeNarrow(s.terms + lane, (c0 + t * (c1 + t * (c2 + t * high))) * amplitude);
      }
    }

    // Sums. A term that is not finite makes the sum not finite, and a sum
    // that is not finite is left out. Only lanes in the wave change (which
    // leaves those of a partial vector past the run as they were).
    for (std::size_t w = 0; w < withTerms; ++w) {
      const std::size_t v = s.withTerms[w];
      float* const z = zs + block + v * kLanes;
      const F before = Ops::load(z);
      const F after = before + Ops::only(s.inWave[v], Ops::load(s.terms + v * kLanes));
      Ops::store(z, Ops::select(Ops::both(s.inWave[v], Ops::isFinite(after)), after, before));
    }
  }
}

}  // namespace
}  // namespace rillmark::detail
