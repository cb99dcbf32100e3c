#include "sim/wave_phase_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
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
// pi/256 in two parts: the first has 32 significant bits, so a step number
// up to 2^21 times it is exact.
constexpr double kStepHigh = 0x1.921fb544p-7;
constexpr double kStepLow = 0x1.0b4611a626331p-41;

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

// Row j: the Taylor coefficients of cos(x) e^(D x) about b = float(j) kStep.
// e^((D + i) b) comes from the exact step a = j pi/256, where the cosine's
// zeros are exact, turned back by the small e = a - b: a series in e keeps
// the relative precision of a coefficient that is nearly 0.
PhaseRow rowOf(std::int32_t j, double decay) {
  using Complex = std::complex<double>;
  const float b = static_cast<float>(j) * PhaseTable::kStep;
  const double e = (j * kStepHigh - static_cast<double>(b)) + j * kStepLow;  // both parts exact but the last
  const double growth = first(xsimd::exp(Scalar(decay * (j * kStep))));
  const Complex atStep(growth * cosOfStep(j), growth * sinOfStep(j));
  const Complex z = -Complex(decay, 1.0) * e;
  const Complex back = 1.0 + z * (1.0 + z * (0.5 + z * (1.0 / 6 + z * (1.0 / 24))));
  Complex term = atStep * back;
  PhaseRow row{};
  for (int n = 0; n < 4; ++n) {
    row.c[n] = term.real();
    term = term * Complex(decay, 1.0) / static_cast<double>(n + 1);
  }
  return row;
}

}  // namespace

bool PhaseTable::setDecay(float decay) {
  std::uint32_t bits;
  std::memcpy(&bits, &decay, sizeof bits);
  if (haveDecay_ && bits == decayBits_) return decayServed_;
  haveDecay_ = true;
  decayBits_ = bits;
  rows_.clear();
  decayServed_ = decay >= 0.0f && decay <= kMaxDecay;
  decay_ = decayServed_ ? decay : 0.0;
  quarticWeights_[0] = decay_ / 2;
  quarticWeights_[1] = (1.0 + decay_ * decay_) / 12;
  return decayServed_;
}

bool PhaseTable::reaches(double phase) {
  if (!decayServed_ || !(phase >= (kLowestStep + 2) / kStepsPerRadian)) return false;
  // A phase above 2 still needs the rows of 2, where the kernel clamps it;
  // bounded before the cast, a huge phase still gives a step that fits.
  const auto step = std::min(static_cast<std::int32_t>(std::floor(std::min(phase, 1e6) * kStepsPerRadian)) - 1,
                             kHighestStep - 2);
  // The whole range is reserved at once, so a pass never allocates.
  if (rows_.capacity() == 0) rows_.reserve(static_cast<std::size_t>(kHighestStep - kLowestStep + 1));
  for (std::int32_t j = kHighestStep - static_cast<std::int32_t>(rows_.size()); j >= step; --j) {
    rows_.push_back(rowOf(j, decay_));
  }
  return true;
}

}  // namespace rillmark
