#include "sim/wind.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sim/wave_synthesis.h"
#include "support/sim_fixture.h"

namespace rillmark::testing {
namespace {

class Wind : public SimFixture {
 protected:
  // A 5 x 5 water grid at z = 0.5 with a wind source of the given place and
  // size; Sharp Style and Invert as on a fresh panel.
  HostHandle waterWithSource(HostVec3 sourceLocation, HostVec3 sourceSize) {
    HostHandle grid = refhost::addGrid("Water", 5, 5, 4, 4, 0.5f);
    std::vector<HostVec3> v = refhost::vertices(grid);
    HostHandle water = makeWater(v);
    HostHandle source = refhost::addObject("Wind Source", 1);
    refhost::setLocation(source, sourceLocation);
    refhost::setSize(source, sourceSize);
    state.WindSourceObject = source;
    params.wind.setChecked(true);
    return water;
  }

  // The wind height written out by hand for a source placed along +x.
  float expectedWind(const HostVec3& p, float t, float driftX, float W) {
    const float S = params.noiseScale.Value(), R = params.timeScale.Value();
    const HostVec3 q{(0.1f * t * driftX + p.x) * S, (0.0f + p.y) * S, t * R};
    float n = tssNoise3(&q);
    n = std::fabs((n - 0.5f) * 2.0f);
    n = 1.0f - n;
    return n * W;
  }
};

TEST_F(Wind, WithoutAWindSourceTheBoxIsClearedAndNothingIsAdded) {
  HostHandle water = makeWater(std::vector<HostVec3>{{0, 0, 1}, {1, 1, 1}});
  params.wind.setChecked(true);
  SynthesizeFrame(ctx, water, 3);
  EXPECT_FALSE(params.wind.checked());
  EXPECT_EQ(heights(water), (std::vector<float>{1, 1}));
}

TEST_F(Wind, NoEventsGivesRestHeightPlusWind) {
  // Source 10 units along +x with x-size 2: u = (2, 0, 0); W = 0.1 x 3.
  HostHandle water = waterWithSource({10, 0, 0.5f}, {2, 2, 3});
  const std::vector<HostVec3> rest = refhost::vertices(state.WaterRestCopy);
  SynthesizeFrame(ctx, water, 7);
  const std::vector<float> z = heights(water);
  for (std::size_t i = 0; i < rest.size(); ++i) EXPECT_FLOAT_EQ(z[i], rest[i].z + expectedWind(rest[i], 7, 2, 0.3f));
}

TEST_F(Wind, IsAddedOnceInTheFirstEventsPass) {
  HostHandle water = waterWithSource({10, 0, 0.5f}, {2, 2, 3});
  const std::vector<HostVec3> rest = refhost::vertices(state.WaterRestCopy);
  // Two events far away: their rings never reach the grid.
  state.Events.append({0, 500, 500, 0, 1});
  state.Events.append({0, 500, 500, 0, 1});
  SynthesizeFrame(ctx, water, 2);
  const std::vector<float> z = heights(water);
  for (std::size_t i = 0; i < rest.size(); ++i) EXPECT_FLOAT_EQ(z[i], rest[i].z + expectedWind(rest[i], 2, 2, 0.3f));
}

TEST_F(Wind, SourceAboveTheWaterOrAtItGivesNoDrift) {
  for (HostVec3 place : {HostVec3{0, 0, 9}, HostVec3{0, 0, 0.5f}}) {
    HostHandle water = waterWithSource(place, {2, 2, 3});
    SynthesizeFrame(ctx, water, 0);
    const std::vector<float> atStart = heights(water);
    SynthesizeFrame(ctx, water, 25);
    EXPECT_EQ(heights(water), atStart);  // Time Scale 0: the pattern stands still
    for (float z : atStart) EXPECT_TRUE(std::isfinite(z));
  }
}

TEST_F(Wind, AFlatSourceAddsNothing) {
  HostHandle water = waterWithSource({10, 0, 0.5f}, {2, 2, 0});
  SynthesizeFrame(ctx, water, 4);
  for (float z : heights(water)) EXPECT_EQ(z, 0.5f);
}

TEST_F(Wind, TimeScaleChangesThePatternInPlace) {
  HostHandle water = waterWithSource({0, 0, 9}, {2, 2, 3});
  params.timeScale.setValue(0.7f);
  SynthesizeFrame(ctx, water, 0);
  const std::vector<float> atStart = heights(water);
  SynthesizeFrame(ctx, water, 3);
  EXPECT_NE(heights(water), atStart);
}

TEST_F(Wind, DisturbanceTypesFoldingAndOctaves) {
  waterWithSource({10, 0, 0.5f}, {2, 2, 10});  // W = 1
  const WindSetup wind = WindField(ctx, 3);
  EXPECT_FLOAT_EQ(wind.ox, 0.6f);
  EXPECT_EQ(wind.oy, 0.0f);
  EXPECT_FLOAT_EQ(wind.W, 1.0f);
  const HostVec3 p{0.3f, -0.2f, 0};
  const HostVec3 q{(0.6f + 0.3f) * 0.7f, -0.2f * 0.7f, 0};

  // WindNoise takes the wind parameters as the run last read them.
  ctx.params.sharp = false;
  ctx.params.invert = false;
  ctx.params.disturbanceType = kNoisePerlin;
  EXPECT_FLOAT_EQ(WindNoise(ctx, wind, p, 3), tssNoise3Perlin(&q));
  ctx.params.invert = true;
  EXPECT_FLOAT_EQ(WindNoise(ctx, wind, p, 3), 1.0f - tssNoise3Perlin(&q));
  ctx.params.sharp = true;
  ctx.params.invert = false;
  EXPECT_FLOAT_EQ(WindNoise(ctx, wind, p, 3), std::fabs((tssNoise3Perlin(&q) - 0.5f) * 2.0f));

  ctx.params.sharp = false;
  ctx.params.disturbanceType = kTurbulenceConvolution;
  WindSetup fourOctaves = wind;
  fourOctaves.O = 4;
  EXPECT_FLOAT_EQ(WindNoise(ctx, fourOctaves, p, 3), tssTurbulence3SparseConv(&q, 4));
  EXPECT_NE(WindNoise(ctx, fourOctaves, p, 3), WindNoise(ctx, wind, p, 3));

  ctx.params.disturbanceType = kNoiseClassical;
  EXPECT_EQ(WindNoise(ctx, fourOctaves, p, 3), WindNoise(ctx, wind, p, 3));

  // No item chosen: the noise stays 0, and the folds still apply.
  ctx.params.disturbanceType = -1;
  ctx.params.invert = true;
  EXPECT_FLOAT_EQ(WindNoise(ctx, wind, p, 3), 1.0f);
}

TEST_F(Wind, AHostWithoutTheNoiseFunctionsAddsNoWind) {
  HostHandle water = waterWithSource({10, 0, 0.5f}, {2, 2, 3});
  hostApi().tssNoise3 = nullptr;
  SynthesizeFrame(ctx, water, 5);
  for (float z : heights(water)) EXPECT_EQ(z, 0.5f);
  EXPECT_TRUE(params.wind.checked());
}

}  // namespace
}  // namespace rillmark::testing
