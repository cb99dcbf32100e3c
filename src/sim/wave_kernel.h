// The arithmetic of one event over a run of vertices, the inner loop of the
// wave synthesis. Vertices come as separate x and y arrays (the order of the
// rest-shape grid) and heights are accumulated into a matching z array.
//
// Four vertices at a time with SSE2, eight with AVX2 and sixteen with
// AVX-512 where the processor has them; all give the same bits, since they
// run the same IEEE operations in the same order (no fused multiply-add).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "sim/wave_phase_table.h"

namespace rillmark {

// One event, as the kernel evaluates it. The wave term at a vertex with
// phase F = r k - crestPhase (r its horizontal distance from x, y) is
// amplitude cos(F) e^(D F) where F <= 2, and nothing ahead of that.
struct EventWave {
  float x = 0.0f;
  float y = 0.0f;
  float k = 0.0f;           // 1 / Wavelength
  float crestPhase = 0.0f;  // tau v
  double amplitude = 0.0;   // A e^(-T tau v)
};

// Vertices [0, count) of the grid order. The arrays must stay readable and
// writable kVectorPadding elements past count: the last partial vector is
// loaded whole and only its lanes inside the run are changed.
struct VertexRun {
  const float* x = nullptr;
  const float* y = nullptr;
  float* z = nullptr;
  std::uint32_t* inside = nullptr;  // +1 per vertex inside the front, if not null
  std::size_t count = 0;
};

inline constexpr std::size_t kVectorPadding = 16;

// Adds the event's wave to run.z: a term that is not finite, or that would
// make the height not finite, is left out. The table must reach down to the
// phase -crestPhase (PhaseTable::reaches).
void addEventWave(const EventWave& wave, const PhaseTable& table, const VertexRun& run);

// The same, one vertex at a time and term by term as the literal pass
// (bench/literal_pass.h) computes it (cos and exp in double from the C library), for
// parameters the table cannot serve: a negative or huge Decay, phases below
// the table, a time damping beyond the double range. wave.amplitude is not
// used; A, D and T are the pass's parameters.
void addEventWaveExactly(const EventWave& wave, float A, float D, float T, const VertexRun& run);

enum class VectorPath { Sse2, Avx2, Avx512 };

// Whether the processor (and the operating system, for the wider
// registers) supports a path; SSE2 always.
bool vectorPathAvailable(VectorPath path);
// The path addEventWave takes: the widest available, unless forced (tests
// and benchmarks force each path to compare them). Forcing a path the
// processor lacks is ignored.
VectorPath activeVectorPath();
void forceVectorPath(std::optional<VectorPath> path);

namespace detail {
// What the kernel reads of the table, as plain data: the AVX2 and AVX-512
// builds must not instantiate any inline function that other files share.
struct KernelTable {
  const PhaseRow* rows;
  bool quartic;
  double quartic3, quartic2;  // c4 = quartic3 c3 - quartic2 c2
};
// The builds of the kernel, each in its own translation unit.
void addEventWaveSse2(const EventWave& wave, const KernelTable& table, const VertexRun& run);
void addEventWaveAvx2(const EventWave& wave, const KernelTable& table, const VertexRun& run);
void addEventWaveAvx512(const EventWave& wave, const KernelTable& table, const VertexRun& run);
}  // namespace detail

}  // namespace rillmark
