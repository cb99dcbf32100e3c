#include "sim/wave_phase_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <xsimd/xsimd.hpp>

namespace rillmark {

namespace {

// The rows must be the same bits on every platform, and C libraries round
// cos and exp differently in the last place; xsimd's SSE2 functions are
// plain IEEE arithmetic, identical wherever SSE2 runs.
using Scalar = xsimd::batch<double, xsimd::sse2>;

double first(const Scalar& v) {
  alignas(16) double out[Scalar::size];
  v.store_aligned(out);
  return out[0];
}

constexpr std::int32_t kQuarterSteps = 128;  // pi/2
constexpr double kStep = 3.14159265358979323846 / 256;

// cos(i pi/256) for i = 0 to a quarter turn; the quarter turn itself is
// exactly 0, so the phases where the cosine changes sign keep their full
// relative precision.
const std::array<double, kQuarterSteps + 1>& quarterCosines() {
  static const std::array<double, kQuarterSteps + 1> table = [] {
    std::array<double, kQuarterSteps + 1> c{};
    for (int i = 0; i < kQuarterSteps; ++i) c[i] = first(xsimd::cos(Scalar(i * kStep)));
    c[kQuarterSteps] = 0.0;
    return c;
  }();
  return table;
}

// cos(m pi/256) for any m, by the symmetries of the cosine.
double cosOfStep(std::int32_t m) {
  const auto& c = quarterCosines();
  m &= 4 * kQuarterSteps - 1;  // two's complement: a full turn is 512 steps
  if (m <= kQuarterSteps) return c[m];
  if (m <= 2 * kQuarterSteps) return -c[2 * kQuarterSteps - m];
  if (m <= 3 * kQuarterSteps) return -c[m - 2 * kQuarterSteps];
  return c[4 * kQuarterSteps - m];
}

double sinOfStep(std::int32_t m) { return cosOfStep(m - kQuarterSteps); }

}  // namespace

bool PhaseTable::setDecay(float decay) {
  std::uint32_t bits;
  std::memcpy(&bits, &decay, sizeof bits);
  if (haveDecay_ && bits == decayBits_) return decayServed_;
  haveDecay_ = true;
  decayBits_ = bits;
  rows_.clear();
  decayServed_ = decay >= 0.0f && decay <= kMaxDecay;
  if (!decayServed_) return false;

  decay_ = decay;
  // (D + i)^n / n!, by complex multiplication.
  double re = 1.0, im = 0.0;
  for (int n = 0; n < 5; ++n) {
    series_.u[n] = re;
    series_.v[n] = im;
    const double nextRe = (re * decay_ - im) / (n + 1);
    const double nextIm = (im * decay_ + re) / (n + 1);
    re = nextRe;
    im = nextIm;
  }
  return true;
}

bool PhaseTable::reaches(double phase) {
  if (!decayServed_ || !(phase >= (kLowestStep + 2) / kStepsPerRadian)) return false;
  // A phase far above the highest step needs no row; bounded, its step fits.
  const auto step = static_cast<std::int32_t>(std::floor(std::min(phase, 1e6) * kStepsPerRadian)) - 1;
  // The whole range is reserved at once, so a pass never allocates.
  if (rows_.capacity() == 0) rows_.reserve(static_cast<std::size_t>(kHighestStep - kLowestStep + 1));
  for (std::int32_t j = kHighestStep - static_cast<std::int32_t>(rows_.size()); j >= step; --j) {
    const double angle = j * kStep;
    const double growth = first(xsimd::exp(Scalar(decay_ * angle)));
    rows_.push_back({growth * cosOfStep(j), growth * sinOfStep(j)});
  }
  return true;
}

}  // namespace rillmark
