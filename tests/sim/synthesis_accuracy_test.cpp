// The production pass against the literal pass on the
// benchmark scenes, with and without wind and Record Keys: every event's
// wave term within 2 units in the last place of its value in double, the
// heights within 2 units of A per live event of the literal pass's, x and y
// untouched, the same vertices marked, and every vector path the processor
// has giving the bits of the SSE2 path.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_scenes.h"
#include "bench/literal_pass.h"
#include "commands/run_commands.h"
#include "hostapi/host_calls.h"
#include "refhost/refhost.h"
#include "sim/event_detection.h"
#include "sim/run_control.h"
#include "sim/wave_kernel.h"
#include "sim/wave_synthesis.h"

namespace rillmark::testing {
namespace {

using bench::SceneKind;

double ulpOf(float value) {
  const float a = std::fabs(value);
  return static_cast<double>(std::nextafter(a, INFINITY)) - a;
}

struct PassResult {
  std::vector<HostVec3> vertices;
  std::vector<int> marked;
};

PassResult runPass(bench::World& world, bench::Pass pass, float t) {
  HostHandle water = world.state.WaterObject;
  refhost::clearVertexMarks(water);
  pass(world.ctx, water, t);
  return {refhost::vertices(water), refhost::markedVertices(water)};
}

std::int32_t liveEvents(const bench::World& world) {
  return world.state.Events.EventCount() - world.state.Counters.RetiredCount;
}

// The wave of one event at one vertex, in double from the quantities the
// literal pass keeps in float (the distance r, tau and the phase F, which
// decides whether the vertex is in the wave): A cos F e^(D F - T tau v).
struct TermReference {
  float A, k, v, D, T;

  bool inWave(const RippleEvent& e, const HostVec3& p, float t, double& term) const {
    const float tau = (0.5f * e.size * k / v + t) - static_cast<float>(e.frame);
    const float dx = e.x - p.x, dy = e.y - p.y;
    const float r = std::sqrt(dx * dx + dy * dy);
    const float crest = tau * v;
    const float F = r * k - crest;
    if (F > 2.0f) return false;
    term = static_cast<double>(A) * std::cos(static_cast<double>(F)) *
           std::exp(static_cast<double>(D) * F - static_cast<double>(T) * crest);
    return true;
  }
};

// Each live event alone through the production pass (the rest heights are
// 0, so what the pass leaves is the term) against the reference.
void checkEachTerm(bench::World& world, float t) {
  const ParameterSet& p = world.params;
  const TermReference ref{0.1f * p.amplitude.Value(), 1.0f / p.wavelength.Value(), p.speed.Value() + 0.0001f,
                          p.decay.Value(), p.timeDecay.Value()};
  const std::vector<RippleEvent> events(world.state.Events.valid().begin(), world.state.Events.valid().end());
  const std::vector<HostVec3> rest = refhost::vertices(world.state.WaterRestCopy);
  double worst = 0;
  long long terms = 0;
  for (std::size_t e = 0; e < events.size(); ++e) {
    if (e > 0 && t - static_cast<float>(events[e].frame) > p.lifeSpan.Value()) continue;
    world.state.Events.empty();
    world.state.Events.append(events[e]);
    SynthesizeFrame(world.ctx, world.state.WaterObject, t);
    const std::vector<HostVec3> got = refhost::vertices(world.state.WaterObject);
    for (std::size_t i = 0; i < rest.size(); ++i) {
      double term = 0;
      if (!ref.inWave(events[e], rest[i], t, term)) {
        ASSERT_EQ(got[i].z, 0.0f) << "event " << e << " vertex " << i << " is ahead of the wave";
        continue;
      }
      const double error = std::fabs(got[i].z - term) / ulpOf(static_cast<float>(term));
      worst = std::max(worst, error);
      ++terms;
      ASSERT_LE(error, 2.0) << "event " << e << " vertex " << i << ": " << got[i].z << " against " << term;
    }
  }
  world.state.Events.empty();
  for (const RippleEvent& event : events) world.state.Events.append(event);
  std::printf("      %lld terms, the worst %.3f units in the last place off\n", terms, worst);
  EXPECT_GT(terms, 0);
}

void comparePasses(bench::World& world, float t, bool checkTerms) {
  SCOPED_TRACE(::testing::Message() << "frame " << t);
  const std::vector<HostVec3> rest = refhost::vertices(world.state.WaterRestCopy);
  const PassResult literal = runPass(world, &literal::SynthesizeFrame, t);
  const std::int32_t live = liveEvents(world);

  forceVectorPath(VectorPath::Sse2);
  const PassResult sse2 = runPass(world, &SynthesizeFrame, t);
  std::vector<PassResult> wider;  // the other paths this processor has
  for (VectorPath path : {VectorPath::Avx2, VectorPath::Avx512}) {
    if (!vectorPathAvailable(path)) continue;
    forceVectorPath(path);
    wider.push_back(runPass(world, &SynthesizeFrame, t));
  }
  forceVectorPath(std::nullopt);

  const float A = 0.1f * world.params.amplitude.Value();
  const double tolerance = live * 2.0 * ulpOf(A);
  ASSERT_EQ(sse2.vertices.size(), rest.size());
  for (std::size_t i = 0; i < rest.size(); ++i) {
    ASSERT_EQ(sse2.vertices[i].x, rest[i].x) << i;
    ASSERT_EQ(sse2.vertices[i].y, rest[i].y) << i;
    ASSERT_LE(std::fabs(sse2.vertices[i].z - literal.vertices[i].z), tolerance) << "vertex " << i;
    for (const PassResult& other : wider) {
      std::uint32_t a, b;
      std::memcpy(&a, &sse2.vertices[i].z, sizeof a);
      std::memcpy(&b, &other.vertices[i].z, sizeof b);
      ASSERT_EQ(a, b) << "the vector paths differ at vertex " << i;
    }
  }
  EXPECT_EQ(sse2.marked, literal.marked);
  for (const PassResult& other : wider) EXPECT_EQ(other.marked, literal.marked);
  if (checkTerms) checkEachTerm(world, t);
}

struct Variant {
  bool recordKeys, wind;
};

// The terms do not depend on Record Keys, and the wind would add to them:
// one variant checks them.
bool checksTerms(const Variant& v) { return !v.recordKeys && !v.wind; }

class SynthesisAccuracy : public ::testing::TestWithParam<Variant> {};

// A whole run's events, with the passes compared at a few frames. The
// other frames only detect events: what a pass writes does not change
// which events are recorded.
void checkRun(SceneKind kind, const Variant& variant, std::initializer_list<int> checkFrames) {
  bench::World world;
  bench::buildScene(world, kind, {variant.recordKeys, variant.wind});
  ParameterSet& params = world.params;
  const float start = params.start.Value();
  params.start.setValue(static_cast<float>(params.end.IntValue() + 1));
  btnstartClick(world.ctx);
  params.start.setValue(start);
  const WaterPlacement water = readWaterPlacement(world.state.WaterObject);

  auto next = checkFrames.begin();
  for (int frame = params.start.IntValue(); next != checkFrames.end(); frame += params.step.IntValue()) {
    world.state.Counters.CurrentFrame = frame;
    host::tsxAnimSetActiveTime(static_cast<float>(frame));
    DetectEvents(world.ctx, water, params.checkRange.checked());
    if (frame != *next) continue;
    ++next;
    ASSERT_GT(world.state.Events.EventCount(), 0);
    comparePasses(world, static_cast<float>(frame), checksTerms(variant));
  }
}

TEST_P(SynthesisAccuracy, FallingEffectorsRun) { checkRun(SceneKind::Falling, GetParam(), {40, 120, 199}); }

TEST_P(SynthesisAccuracy, DemoRun) { checkRun(SceneKind::Demo, GetParam(), {30, 60, 100}); }

TEST_P(SynthesisAccuracy, BusyPass) {
  bench::World world;
  bench::buildScene(world, SceneKind::Busy, {GetParam().recordKeys, GetParam().wind});
  comparePasses(world, 60.0f, checksTerms(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(WindAndRecordKeys, SynthesisAccuracy,
                         ::testing::Values(Variant{false, false}, Variant{true, false}, Variant{false, true},
                                           Variant{true, true}),
                         [](const ::testing::TestParamInfo<Variant>& info) {
                           return std::string(info.param.recordKeys ? "Record" : "NoRecord") +
                                  (info.param.wind ? "Wind" : "Calm");
                         });

}  // namespace
}  // namespace rillmark::testing
