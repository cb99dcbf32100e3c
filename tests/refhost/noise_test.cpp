#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "refhost_fixture.h"

namespace {

using Noise = RefhostTest;

struct NoiseFunction {
  std::string name;
  float (*plain)(const HostVec3*);
  float (*turbulence)(const HostVec3*, int);
};

float call(const NoiseFunction& f, const HostVec3& p, int octaves) {
  return f.plain ? f.plain(&p) : f.turbulence(&p, octaves);
}

const std::vector<NoiseFunction>& allNoise() {
  static const std::vector<NoiseFunction> functions{
      {"tssNoise3", tssNoise3, nullptr},
      {"tssNoise3Classic", tssNoise3Classic, nullptr},
      {"tssNoise3Perlin", tssNoise3Perlin, nullptr},
      {"tssTurbulence3", nullptr, tssTurbulence3},
      {"tssTurbulence3Classic", nullptr, tssTurbulence3Classic},
      {"tssTurbulence3Perlin", nullptr, tssTurbulence3Perlin},
      {"tssTurbulence3SparseConv", nullptr, tssTurbulence3SparseConv},
  };
  return functions;
}

std::vector<HostVec3> samplePoints() {
  std::vector<HostVec3> points;
  unsigned state = 1;
  auto next = [&] {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0f;
  };
  for (int i = 0; i < 3000; ++i) points.push_back({next() * 40 - 20, next() * 40 - 20, next() * 10 - 5});
  return points;
}

TEST_F(Noise, AllFunctionsStayInTheUnitRangeVaryAndRepeat) {
  refhost::setRecording(false);
  const std::vector<HostVec3> points = samplePoints();
  for (const NoiseFunction& f : allNoise()) {
    float lo = 1, hi = 0;
    std::set<float> distinct;
    for (const HostVec3& p : points) {
      const float v = call(f, p, 4);
      ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << f.name << " gave " << v;
      EXPECT_EQ(call(f, p, 4), v) << f.name << " is not deterministic";
      lo = std::min(lo, v);
      hi = std::max(hi, v);
      distinct.insert(v);
    }
    // Real noise, not a constant: it spreads over a good part of the range.
    EXPECT_GT(hi - lo, 0.3f) << f.name;
    EXPECT_GT(distinct.size(), points.size() / 2) << f.name;
  }
}

TEST_F(Noise, NoiseIsContinuous) {
  for (const NoiseFunction& f : allNoise()) {
    for (float x = -3; x < 3; x += 0.37f) {
      const HostVec3 p{x, 0.3f, 1.7f}, q{x + 1e-4f, 0.3f, 1.7f};
      EXPECT_NEAR(call(f, p, 3), call(f, q, 3), 0.01f) << f.name << " at " << x;
    }
  }
}

TEST_F(Noise, ExtremeInputsAndOctaveCountsGiveUnitRangeValues) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  constexpr float big = std::numeric_limits<float>::max();
  const HostVec3 points[] = {{inf, 0, 0}, {-inf, nan, 1}, {nan, nan, nan}, {big, -big, big},
                             {1e20f, 3e9f, -7e12f}, {-0.0f, 1e-40f, 0}};
  for (const NoiseFunction& f : allNoise()) {
    for (const HostVec3& p : points) {
      for (int octaves : {-5, 0, 1, 16, 10000, std::numeric_limits<int>::max()}) {
        const float v = call(f, p, octaves);
        EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << f.name << " gave " << v;
      }
    }
    EXPECT_EQ(f.plain ? f.plain(nullptr) : f.turbulence(nullptr, 3), 0.0f);
  }
}

TEST_F(Noise, OctaveCountsBelowOneActAsOneAndManyAreCapped) {
  const HostVec3 p{1.3f, -2.7f, 0.4f};
  for (auto fn : {tssTurbulence3, tssTurbulence3Classic, tssTurbulence3Perlin, tssTurbulence3SparseConv}) {
    EXPECT_EQ(fn(&p, 0), fn(&p, 1));
    EXPECT_EQ(fn(&p, -3), fn(&p, 1));
    EXPECT_EQ(fn(&p, 10000), fn(&p, 16));
    EXPECT_NE(fn(&p, 1), fn(&p, 4));
  }
}

TEST_F(Noise, GradientNoiseIsHalfAtLatticePoints) {
  // Signed gradient noise is zero at every lattice point, so its unit-range
  // form is exactly one half there.
  for (int i = -3; i <= 3; ++i) {
    const HostVec3 p{static_cast<float>(i), static_cast<float>(2 * i), 7};
    EXPECT_FLOAT_EQ(tssNoise3Classic(&p), 0.5f);
    EXPECT_FLOAT_EQ(tssNoise3Perlin(&p), 0.5f);
  }
}

}  // namespace
