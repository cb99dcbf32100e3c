// The wave kernel against cos(F) e^(D F) in double, over the phases the
// table serves and the floats nearest the zeros of the cosine, for Decays
// on the cubic and on the quartic: every term within 2 units in the last
// place, the same bits on every vector path, nothing added ahead of the
// wave.
#include "sim/wave_kernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <vector>

namespace rillmark::testing {
namespace {

double ulpOf(float value) {
  const float a = std::fabs(value);
  return static_cast<double>(std::nextafter(a, INFINITY)) - a;
}

// cos F with F reduced by multiples of pi/2 in three parts first, so the
// reference keeps its relative precision next to the zeros whatever the C
// library does with large arguments.
double cosine(float phase) {
  constexpr double kHalfPi1 = 1.57079632673412561417e+00;  // 33 bits
  constexpr double kHalfPi2 = 6.07710050630396597660e-11;  // 33 bits
  constexpr double kHalfPi3 = 2.02226624879595063154e-21;
  const double quarter = std::nearbyint(phase / (kHalfPi1 + kHalfPi2));
  const double y = ((phase - quarter * kHalfPi1) - quarter * kHalfPi2) - quarter * kHalfPi3;
  switch (static_cast<long long>(quarter) & 3) {
    case 0:
      return std::cos(y);
    case 1:
      return -std::sin(y);
    case 2:
      return -std::cos(y);
    default:
      return std::sin(y);
  }
}

struct Sweep {
  float decay;
  float crest;  // phases from -crest to 2; e^(-decay crest) stays a normal float
};

// Distances along x from an event at the origin with k = 1, so F = r - crest:
// an even spread from the event to past the front, and those that put F on
// the floats nearest each zero of the cosine and their neighbours.
std::vector<float> distances(float crest) {
  std::vector<float> r;
  constexpr int kSpread = 40000;
  for (int i = 0; i <= kSpread; ++i) r.push_back((crest + 2.5f) * static_cast<float>(i) / kSpread);
  for (double zero = -std::numbers::pi / 2; zero >= -crest; zero -= std::numbers::pi) {
    float phase = static_cast<float>(zero);
    for (int n = 0; n < 2; ++n) phase = std::nextafter(phase, -INFINITY);
    for (int n = 0; n < 5; ++n, phase = std::nextafter(phase, INFINITY)) {
      const float at = phase + crest;
      if (at - crest == phase) r.push_back(at);
    }
  }
  r.push_back(crest + 2.0f);  // F exactly 2: in the wave
  return r;
}

std::vector<float> runKernel(VectorPath path, const PhaseTable& table, float crest, const std::vector<float>& r) {
  forceVectorPath(path);
  std::vector<float> x(r), y(r.size() + kVectorPadding, 0.0f), z(r.size() + kVectorPadding, 0.0f);
  x.resize(r.size() + kVectorPadding, 0.0f);
  addEventWave(EventWave{0.0f, 0.0f, 1.0f, crest, 1.0}, table, VertexRun{x.data(), y.data(), z.data(), nullptr, r.size()});
  forceVectorPath(std::nullopt);
  z.resize(r.size());
  return z;
}

TEST(WaveKernel, TermsWithinTwoUnitsInTheLastPlaceOnEveryPath) {
  const Sweep sweeps[] = {{0.0f, 1600.0f}, {0.1f, 300.0f}, {1.0f, 80.0f}, {1.5f, 55.0f}, {3.0f, 28.0f}};
  for (const Sweep& sweep : sweeps) {
    SCOPED_TRACE(::testing::Message() << "Decay " << sweep.decay);
    PhaseTable table;
    ASSERT_TRUE(table.setDecay(sweep.decay));
    ASSERT_TRUE(table.reaches(-sweep.crest));
    const std::vector<float> r = distances(sweep.crest);
    const std::vector<float> sse2 = runKernel(VectorPath::Sse2, table, sweep.crest, r);
    double worst = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
      const float dx = 0.0f - r[i], dy = 0.0f;
      const float phase = std::sqrt(dx * dx + dy * dy) * 1.0f - sweep.crest;
      if (phase > 2.0f) {
        ASSERT_EQ(sse2[i], 0.0f) << "F " << phase << " is ahead of the wave";
        continue;
      }
      const double term = cosine(phase) * std::exp(static_cast<double>(sweep.decay) * phase);
      const double error = std::fabs(sse2[i] - term) / ulpOf(static_cast<float>(term));
      worst = std::max(worst, error);
      ASSERT_LE(error, 2.0) << "F " << phase << ": " << sse2[i] << " against " << term;
    }
    std::printf("      Decay %g: %zu phases, the worst %.3f units in the last place off\n", sweep.decay, r.size(),
                worst);
    for (VectorPath path : {VectorPath::Avx2, VectorPath::Avx512}) {
      if (!vectorPathAvailable(path)) continue;
      const std::vector<float> wider = runKernel(path, table, sweep.crest, r);
      ASSERT_EQ(std::memcmp(wider.data(), sse2.data(), r.size() * sizeof(float)), 0)
          << "path " << static_cast<int>(path) << " differs from SSE2";
    }
  }
}

TEST(WaveKernel, AWaveThatHasNotSetOutAddsNothing) {
  // A crest behind the event (an event from a later frame) puts every phase
  // above 2, and the table holds no rows below 2; vertices with no position
  // still go through the kernel.
  PhaseTable table;
  ASSERT_TRUE(table.setDecay(0.1f));
  ASSERT_TRUE(table.reaches(5.0));
  const std::vector<float> x0{NAN, 0.0f, 0.5f, INFINITY, 3.0f};
  for (VectorPath path : {VectorPath::Sse2, VectorPath::Avx2, VectorPath::Avx512}) {
    if (!vectorPathAvailable(path)) continue;
    std::vector<float> x(x0), y(x0.size() + kVectorPadding, 0.0f), z(x0.size() + kVectorPadding, 1.0f);
    x.resize(x0.size() + kVectorPadding, 0.0f);
    forceVectorPath(path);
    addEventWave(EventWave{0.0f, 0.0f, 1.0f, -5.0f, 1.0}, table, VertexRun{x.data(), y.data(), z.data(), nullptr, x0.size()});
    forceVectorPath(std::nullopt);
    for (std::size_t i = 0; i < x0.size(); ++i) EXPECT_EQ(z[i], 1.0f) << "path " << static_cast<int>(path) << " vertex " << i;
  }
}

TEST(WaveKernel, ServesDecaysFromZeroToItsLimitOnly) {
  PhaseTable table;
  EXPECT_TRUE(table.setDecay(0.0f));
  EXPECT_FALSE(table.quartic());
  EXPECT_TRUE(table.setDecay(PhaseTable::kCubicDecay));
  EXPECT_FALSE(table.quartic());
  EXPECT_TRUE(table.setDecay(std::nextafter(PhaseTable::kCubicDecay, INFINITY)));
  EXPECT_TRUE(table.quartic());
  EXPECT_TRUE(table.setDecay(PhaseTable::kMaxDecay));
  for (float decay : {-0.001f, std::nextafter(PhaseTable::kMaxDecay, INFINITY), NAN}) {
    EXPECT_FALSE(table.setDecay(decay)) << decay;
    EXPECT_FALSE(table.reaches(0.0)) << decay;
  }
  EXPECT_TRUE(table.setDecay(0.5f));
  EXPECT_TRUE(table.reaches(-1600.0));
  EXPECT_FALSE(table.reaches(-1700.0));
}

}  // namespace
}  // namespace rillmark::testing
