#include "sim/wave_kernel.h"

#include <cmath>

namespace rillmark {

namespace {

std::optional<VectorPath> gForcedPath;

}  // namespace

bool vectorPathAvailable(VectorPath path) {
  // Checked once: the processor does not change under a running plug-in.
  // The checks include the operating system saving the wider registers.
  static const bool avx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  static const bool avx512 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512dq") != 0;
  }();
  switch (path) {
    case VectorPath::Sse2:
      return true;
    case VectorPath::Avx2:
      return avx2;
    case VectorPath::Avx512:
      return avx512;
  }
  return false;
}

VectorPath activeVectorPath() {
  if (gForcedPath && vectorPathAvailable(*gForcedPath)) return *gForcedPath;
  for (VectorPath path : {VectorPath::Avx512, VectorPath::Avx2}) {
    if (vectorPathAvailable(path)) return path;
  }
  return VectorPath::Sse2;
}

void forceVectorPath(std::optional<VectorPath> path) { gForcedPath = path; }

void addEventWave(const EventWave& wave, const PhaseTable& table, const VertexRun& run) {
  const detail::KernelTable kernelTable{table.rows(), table.quartic(), table.quarticWeights()[0],
                                       table.quarticWeights()[1]};
  switch (activeVectorPath()) {
    case VectorPath::Avx512:
      detail::addEventWaveAvx512(wave, kernelTable, run);
      break;
    case VectorPath::Avx2:
      detail::addEventWaveAvx2(wave, kernelTable, run);
      break;
    case VectorPath::Sse2:
      detail::addEventWaveSse2(wave, kernelTable, run);
      break;
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
