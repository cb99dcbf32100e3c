#include "sim/wave_kernel.h"

#include <cmath>

namespace rillmark {

namespace {

std::optional<VectorPath> gForcedPath;

}  // namespace

bool avx2Available() {
  // Checked once: the processor does not change under a running plug-in.
  // The check includes the operating system saving the AVX registers.
  static const bool available = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return available;
}

VectorPath activeVectorPath() {
  if (gForcedPath == VectorPath::Sse2) return VectorPath::Sse2;
  return avx2Available() ? VectorPath::Avx2 : VectorPath::Sse2;
}

void forceVectorPath(std::optional<VectorPath> path) { gForcedPath = path; }

void addEventWave(const EventWave& wave, const PhaseTable& table, const VertexRun& run) {
  const detail::KernelTable kernelTable{table.rows(), table.quartic(), table.quarticWeights()[0],
                                       table.quarticWeights()[1]};
  if (activeVectorPath() == VectorPath::Avx2) {
    detail::addEventWaveAvx2(wave, kernelTable, run);
  } else {
    detail::addEventWaveSse2(wave, kernelTable, run);
  }
}

void addEventWaveExactly(const EventWave& wave, float A, float D, float T, const VertexRun& run) {
  const float timeDamping = T * wave.crestPhase;
  for (std::size_t i = 0; i < run.count; ++i) {
    const float dx = wave.x - run.x[i];
    const float dy = wave.y - run.y[i];
    const float r = std::sqrt(dx * dx + dy * dy);
    const float F = r * wave.k - wave.crestPhase;
    if (F > 2.0f) continue;
    if (run.inside) ++run.inside[i];
    const double exponent = -(static_cast<double>(wave.crestPhase - r * wave.k) * D + timeDamping);
    float h = static_cast<float>(static_cast<double>(A) * std::cos(static_cast<double>(F)) * std::exp(exponent));
    if (!std::isfinite(h)) h = 0.0f;
    const float sum = run.z[i] + h;
    if (std::isfinite(sum)) run.z[i] = sum;
  }
}

}  // namespace rillmark
