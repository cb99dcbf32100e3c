#include "sim/wave_synthesis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "bench/literal_pass.h"
#include "support/sim_fixture.h"

namespace rillmark::testing {
namespace {

// The wave of one event written from its closed form, in double precision:
// phi = (t - f) v + (s/2 - r) k; A cos(phi) e^(-D phi) e^(-T (s/2 k + (t - f) v)),
// nothing ahead of phi = -2.
double expectedWave(const ParameterSet& p, const RippleEvent& e, double r, double t) {
  const double A = 0.1 * p.amplitude.Value(), k = 1.0 / p.wavelength.Value();
  const double v = p.speed.Value() + 0.0001, D = p.decay.Value(), T = p.timeDecay.Value();
  const double phi = (t - e.frame) * v + (0.5 * e.size - r) * k;
  if (phi < -2) return 0;
  const double crest = 0.5 * e.size * k + (t - e.frame) * v;
  return A * std::cos(phi) * std::exp(-D * phi) * std::exp(-T * crest);
}

std::vector<HostVec3> onXAxis(std::initializer_list<float> xs, float z = 0) {
  std::vector<HostVec3> v;
  for (float x : xs) v.push_back({x, 0, z});
  return v;
}

using WaveSynthesis = SimFixture;

TEST_F(WaveSynthesis, WorkedExampleWithThePanelDefaults) {
  const auto vertices = onXAxis({0.5f, 0.6f, 1.0f});
  HostHandle water = makeWater(vertices);
  const RippleEvent event{0, 0, 0, 0, 1};
  state.Events.append(event);

  SynthesizeFrame(ctx, water, 0);
  std::vector<float> z = heights(water);
  EXPECT_NEAR(z[0], 0.033, 0.0005);
  EXPECT_NEAR(z[1], -0.004, 0.0005);
  EXPECT_EQ(z[2], 0.0f);  // F is about 8.33: the ring has not arrived
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(z[i], expectedWave(params, event, vertices[i].x, 0), 1e-6) << i;

  SynthesizeFrame(ctx, water, 10);
  z = heights(water);
  EXPECT_NEAR(z[2], 0.017, 0.0005);
  EXPECT_NEAR(z[0], 0.004, 0.0005);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(z[i], expectedWave(params, event, vertices[i].x, 10), 1e-6) << i;
}

TEST_F(WaveSynthesis, PhaseExactlyTwoIsInsideTheWave) {
  // Wavelength 1 and an event of size 0 at the current frame make F = r.
  params.wavelength.setValue(1);
  HostHandle water = makeWater(onXAxis({2.0f, 2.001f}, 1.0f));
  state.Events.append({5, 0, 0, 0, 0});

  SynthesizeFrame(ctx, water, 5);
  const std::vector<float> z = heights(water);
  const float inside = 0.05f * std::cos(2.0f) * std::exp(0.2f);
  EXPECT_NEAR(z[0], 1.0f + inside, 1e-6);
  EXPECT_EQ(z[1], 1.0f);
}

TEST_F(WaveSynthesis, OnlyHeightsChangeAndTheyStartFromTheRestShapeEachPass) {
  std::vector<HostVec3> vertices;
  for (int i = 0; i < 20; ++i) vertices.push_back({0.05f * i, -0.03f * i, 0.25f});
  HostHandle water = makeWater(vertices);
  state.Events.append({0, 0.1f, 0.1f, 0, 0.5f});

  SynthesizeFrame(ctx, water, 3);
  const std::vector<HostVec3> once = refhost::vertices(water);
  SynthesizeFrame(ctx, water, 3);
  const std::vector<HostVec3> twice = refhost::vertices(water);
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    EXPECT_EQ(twice[i].x, vertices[i].x);
    EXPECT_EQ(twice[i].y, vertices[i].y);
    EXPECT_EQ(twice[i].z, once[i].z) << "motion accumulated at vertex " << i;
  }
}

TEST_F(WaveSynthesis, TwoEventsAtOnePlaceDoubleTheChange) {
  const auto vertices = onXAxis({0.45f, 0.5f, 0.55f, 0.7f, 0.9f}, 2.0f);
  HostHandle single = makeWater(vertices);
  state.Events.append({0, 0, 0, 0, 1});
  SynthesizeFrame(ctx, single, 4);
  const std::vector<float> one = heights(single);

  state.Events.append({0, 0, 0, 0, 1});
  SynthesizeFrame(ctx, single, 4);
  const std::vector<float> two = heights(single);
  for (std::size_t i = 0; i < vertices.size(); ++i) EXPECT_NEAR(two[i] - 2.0f, 2 * (one[i] - 2.0f), 1e-6) << i;
}

TEST_F(WaveSynthesis, OldEventsRetireExceptTheFirst) {
  const auto vertices = onXAxis({0.3f, 0.5f, 0.8f, 1.2f});
  HostHandle water = makeWater(vertices);
  const RippleEvent old{0, 0, 0, 0, 1};
  state.Events.append(old);
  state.Events.append(old);
  state.Events.append({50, 0.2f, 0, 0, 1});  // exactly Life Span old at t = 100: still live
  state.Events.append({10, 0, 0, 0, 1});

  SynthesizeFrame(ctx, water, 100);
  EXPECT_EQ(state.Counters.RetiredCount, 2);
  EXPECT_EQ(state.Events.EventCount(), 4);
  const std::vector<float> z = heights(water);
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    const double r2 = std::fabs(vertices[i].x - 0.2f);
    const double sum = expectedWave(params, old, vertices[i].x, 100) + expectedWave(params, state.Events[2], r2, 100);
    EXPECT_NEAR(z[i], sum, 1e-6) << i;
  }
  // Messages are due at every event here (the test clock), a retired one too.
  EXPECT_EQ(view.pumps, 4);

  // The status line of the next pass counts the retired ones out.
  SynthesizeFrame(ctx, water, 100);
  EXPECT_EQ(view.statusTexts.back(), "Frame:0  Events:2");
}

TEST_F(WaveSynthesis, StatusLineShowsTheFrameAndLiveEvents) {
  HostHandle water = makeWater(onXAxis({0}));
  state.Counters.CurrentFrame = 42;
  state.Events.append({40, 0, 0, 0, 1});
  SynthesizeFrame(ctx, water, 42);
  ASSERT_EQ(view.statusTexts.size(), 1u);
  EXPECT_EQ(view.statusTexts[0], "Frame:42  Events:1");
  EXPECT_EQ(statusText(-3, 0), "Frame:-3  Events:0");
}

// Messages wait inside a pass until an interval has passed since they were
// last processed, however many events there are; then they are processed
// once and the interval starts again. The heights are the same either way.
TEST_F(WaveSynthesis, MessagesAreProcessedInsideAPassOnlyWhenTheIntervalHasPassed) {
  HostHandle water = makeWater(onXAxis({0.3f, 0.5f, 0.8f}));
  for (int e = 0; e < 50; ++e) state.Events.append({e, 0.01f * e, 0, 0, 1});
  platform.microsPerReading = 0;
  platform.micros = kMessageIntervalMicroseconds - 1;
  SynthesizeFrame(ctx, water, 60);
  EXPECT_EQ(view.pumps, 0);
  const std::vector<float> unpumped = heights(water);

  platform.micros = kMessageIntervalMicroseconds;
  SynthesizeFrame(ctx, water, 60);
  EXPECT_EQ(view.pumps, 1);
  EXPECT_EQ(state.MessagesProcessedAt, kMessageIntervalMicroseconds);
  EXPECT_EQ(heights(water), unpumped);
}

TEST_F(WaveSynthesis, VerticesAheadOfTheRingAreAlwaysMarkedOthersOnlyWhenRecording) {
  // r = 0.5 is in the wave at t = 0, r = 1 and r = 2 are ahead of it.
  HostHandle water = makeWater(onXAxis({0.5f, 1.0f, 2.0f}));
  state.Events.append({0, 0, 0, 0, 1});

  params.recordKeys.setChecked(false);
  refhost::clearCalls();
  SynthesizeFrame(ctx, water, 0);
  std::vector<double> marked;
  for (const refhost::Call& call : refhost::callsNamed("tsxPolyhMarkVertexChange")) {
    EXPECT_EQ(call.handle, water);
    marked.push_back(call.numbers.at(0));
  }
  EXPECT_EQ(marked, (std::vector<double>{1, 2}));

  params.recordKeys.setChecked(true);
  refhost::clearCalls();
  SynthesizeFrame(ctx, water, 0);
  EXPECT_EQ(refhost::callCount("tsxPolyhMarkVertexChange"), 3);
}

TEST_F(WaveSynthesis, WithoutEventsTheRestShapeReturnsAndIsMarkedOnlyWhenRecording) {
  const auto vertices = onXAxis({0, 1, 2}, 0.75f);
  HostHandle water = makeWater(vertices);
  HostVec3* out = tsxPolyhGetVxArray(water);
  for (int i = 0; i < 3; ++i) out[i].z = 9;

  params.recordKeys.setChecked(false);
  SynthesizeFrame(ctx, water, 1);
  EXPECT_EQ(heights(water), (std::vector<float>{0.75f, 0.75f, 0.75f}));
  EXPECT_EQ(refhost::callCount("tsxPolyhMarkVertexChange"), 0);
  EXPECT_EQ(view.pumps, 0);

  params.recordKeys.setChecked(true);
  SynthesizeFrame(ctx, water, 1);
  EXPECT_EQ(refhost::callCount("tsxPolyhMarkVertexChange"), 3);
  EXPECT_EQ(state.Counters.VertexCount, 3);
}

TEST_F(WaveSynthesis, EndsByMarkingTheGeometryAndRedrawing) {
  HostHandle water = makeWater(onXAxis({0, 1}));
  state.Events.append({0, 0, 0, 0, 1});
  refhost::clearCalls();
  SynthesizeFrame(ctx, water, 0);
  const auto& calls = refhost::calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2].name, "tsxPolyhMarkGeomChange");
  EXPECT_EQ(calls[calls.size() - 2].handle, water);
  EXPECT_EQ(calls.back().name, "tsxSceneDraw");
}

TEST_F(WaveSynthesis, RecordKeysIsReadWhileThePassRuns) {
  // Unticking Record Keys during the pump of the second event stops the
  // marks of in-wave vertices from there on.
  HostHandle water = makeWater(onXAxis({0.5f}));
  state.Events.append({0, 0, 0, 0, 1});
  state.Events.append({0, 0, 0, 0, 1});
  view.onPump = [&](int pump) {
    if (pump == 2) params.recordKeys.setChecked(false);
  };
  SynthesizeFrame(ctx, water, 0);
  EXPECT_EQ(refhost::callCount("tsxPolyhMarkVertexChange"), 1);
}

TEST_F(WaveSynthesis, OverflowingParametersNeverWriteANonFiniteHeight) {
  const auto vertices = onXAxis({0, 0.1f, 0.5f, 3, 40}, 1.5f);
  struct Case {
    const char* what;
    float wavelength, decay, amplitude, speed;
  } cases[] = {
      {"wavelength 0", 0, 0.1f, 0.5f, 0.75f},
      {"decay 1e6", 0.06f, 1e6f, 0.5f, 0.75f},
      {"amplitude and decay huge", 0.06f, 1e30f, 1e30f, 0.75f},
      {"speed huge", 0.06f, 0.1f, 0.5f, 1e38f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    refhost::reset();
    refhost::bindInto(hostApi());
    state.Events.empty();
    HostHandle water = makeWater(vertices);
    params.wavelength.setTypedValue(c.wavelength);
    params.decay.setTypedValue(c.decay);
    params.amplitude.setTypedValue(c.amplitude);
    params.speed.setTypedValue(c.speed);
    state.Events.append({0, 0, 0, 0, 1});
    state.Events.append({3, 0.1f, 0, 0, 0});
    for (float t : {0.0f, 3.0f, 20.0f}) {
      SynthesizeFrame(ctx, water, t);
      for (float z : heights(water)) EXPECT_TRUE(std::isfinite(z)) << "t " << t;
    }
  }
}

TEST_F(WaveSynthesis, HeightsAreBitIdenticalOnEveryPlatform) {
  // Recorded from one build; Linux and Win32 must both reproduce them bit
  // for bit, since the host keys whatever the pass writes.
  std::vector<HostVec3> vertices;
  for (int i = 0; i < 8; ++i) vertices.push_back({0.13f * i, 0.07f * i, 0.01f * i});
  HostHandle water = makeWater(vertices);
  state.Events.append({0, 0, 0, 0, 1});
  state.Events.append({3, 0.4f, 0.1f, 0, 0.5f});
  state.Events.append({6, -0.2f, 0.3f, 0, 0.8f});
  SynthesizeFrame(ctx, water, 9);
  std::vector<std::uint32_t> bits;
  for (float z : heights(water)) {
    std::uint32_t b;
    std::memcpy(&b, &z, sizeof b);
    bits.push_back(b);
  }
  const std::vector<std::uint32_t> recorded{0xbd0963ee, 0xbc29579a, 0x3d538cea, 0x3d82f213,
                                            0x3d5c0059, 0x3c2a9a12, 0x3de24e13, 0x3d8f5c29};
  EXPECT_EQ(bits, recorded);
}

TEST_F(WaveSynthesis, OddShapesAndParametersGiveTheLiteralPassResult) {
  // The grid and the vector kernel must not change what the literal pass
  // leaves: shapes a grid handles badly, parameters the kernel hands to the
  // exact path, and phases far below the table.
  const float inf = INFINITY, nan = NAN;
  struct Case {
    const char* what;
    std::vector<HostVec3> vertices;
    float decay, speed;
    float wavelength = 0.06f;
  } cases[] = {
      {"one vertex", {{0.3f, 0.1f, 0.5f}}, 0.1f, 0.75f},
      {"a line along y", {{0, -1, 0}, {0, -0.4f, 0}, {0, 0.2f, 0}, {0, 0.5f, 0}, {0, 3, 0}}, 0.1f, 0.75f},
      {"positions that are not finite",
       {{nan, 0, 0}, {0.2f, inf, 0}, {0.1f, 0.1f, 0}, {-inf, 0.3f, 0}, {0.4f, 0.4f, 0.25f}},
       0.1f,
       0.75f},
      {"far from the origin", {{1e6f, 1e6f, 0}, {1e6f + 0.5f, 1e6f, 0}, {-1e6f, 0, 0}}, 0.1f, 0.75f},
      {"Decay above the series' range", {{0.2f, 0, 0}, {0.5f, 0.1f, 0}, {0.9f, 0, 0}}, 7.5f, 0.75f},
      {"phases below the table", {{0.2f, 0, 0}, {5, 0.1f, 0}, {40, 0, 0}}, 0.0f, 100.0f},
      // Typed, so unclamped: the phase falls with the distance.
      {"a negative Wavelength", {{0.2f, 0, 0}, {0.5f, 0.1f, 0}, {0.9f, 0, 0}, {1.5f, 0.3f, 0}}, 0.1f, 0.75f, -0.06f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    refhost::reset();
    refhost::bindInto(hostApi());
    state.Events.empty();
    params.decay.setTypedValue(c.decay);
    params.speed.setTypedValue(c.speed);
    params.wavelength.setTypedValue(c.wavelength);
    params.recordKeys.setChecked(false);
    HostHandle water = makeWater(c.vertices);
    state.Events.append({0, 0, 0, 0, 1});
    state.Events.append({20, 0.3f, 0.1f, 0, 0.5f});
    state.Events.append({39, 1e6f, 1e6f, 0, 0.8f});

    literal::SynthesizeFrame(ctx, water, 40);
    const std::vector<float> expected = heights(water);
    const std::vector<int> expectedMarks = refhost::markedVertices(water);
    refhost::clearVertexMarks(water);
    SynthesizeFrame(ctx, water, 40);
    const std::vector<float> got = heights(water);
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], expected[i], 1e-7) << i;
    EXPECT_EQ(refhost::markedVertices(water), expectedMarks);
  }
}

}  // namespace
}  // namespace rillmark::testing
