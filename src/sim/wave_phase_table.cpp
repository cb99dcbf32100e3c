#include "sim/wave_phase_table.h"

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

// cos(i pi/64) for i = 0 .. 32; the step of a right angle is exactly zero,
// so the phases where the cosine changes sign keep their full relative
// precision.
const std::array<double, 33>& quarterCosines() {
  static const std::array<double, 33> table = [] {
    std::array<double, 33> c{};
    for (int i = 0; i < 32; ++i) c[i] = first(xsimd::cos(Scalar(i * (3.14159265358979323846 / 64))));
    c[32] = 0.0;
    return c;
  }();
  return table;
}

// cos(m pi/64) for any m, by the symmetries of the cosine.
double cosOfStep(std::int32_t m) {
  const std::array<double, 33>& c = quarterCosines();
  m &= 127;  // two's complement: the period 2 pi is 128 steps
  if (m <= 32) return c[m];
  if (m <= 64) return -c[64 - m];
  if (m <= 96) return -c[m - 64];
  return c[128 - m];
}

double sinOfStep(std::int32_t m) { return cosOfStep(m - 32); }

// The series for e^(D y) is summed up to y^5; with |D y| <= 0.04 its error
// is below 1e-11 even after eight squarings.
constexpr double kMaxSeriesArgument = 0.04;
constexpr double kLargestRemainder = 3.14159265358979323846 / 128 * 1.001;

}  // namespace

bool PhaseTable::setDecay(float decay) {
  std::uint32_t bits;
  std::memcpy(&bits, &decay, sizeof bits);
  if (haveDecay_ && bits == decayBits_) return decay >= 0.0f && decay <= kMaxDecay;
  haveDecay_ = true;
  decayBits_ = bits;
  rows_.clear();  // keeps the capacity: no allocation when only Decay changes
  if (!(decay >= 0.0f && decay <= kMaxDecay)) return false;

  decay_ = decay;
  squarings_ = 0;
  reducedDecay_ = decay_;
  while (reducedDecay_ * kLargestRemainder > kMaxSeriesArgument) {
    reducedDecay_ *= 0.5;
    ++squarings_;
  }
  return true;
}

bool PhaseTable::reaches(double phase) {
  if (!(phase >= kLowestStep / kStepsPerRadian + 1.0)) return false;
  const auto step = static_cast<std::int32_t>(std::floor(phase * kStepsPerRadian)) - 1;
  if (step < kHighestStep + 1 - static_cast<std::int32_t>(rows_.size())) buildDownTo(step);
  return true;
}

void PhaseTable::buildDownTo(std::int32_t step) {
  if (rows_.capacity() == 0) rows_.reserve(static_cast<std::size_t>(kHighestStep - kLowestStep + 1));
  for (std::int32_t j = kHighestStep - static_cast<std::int32_t>(rows_.size()); j >= step; --j) {
    const double angle = j * (3.14159265358979323846 / 64);
    const double growth = first(xsimd::exp(Scalar(decay_ * angle)));
    rows_.push_back({growth * cosOfStep(j), growth * sinOfStep(j)});
  }
}

}  // namespace rillmark
