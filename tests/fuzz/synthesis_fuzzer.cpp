// Fuzz target: wave synthesis and short runs with whatever values the user
// can type (0, negative, huge, the bounds), any events and any wind. The
// water is a small polyhedron of the reference host; its rest copy may
// match it or not. Each input runs one synthesis pass on either vector
// path, then a few frames of the frame loop with effectors that may touch
// the water, sometimes with the event table nearly full, sometimes through
// Start (erase, bake, copy). Whatever the input: no height the plug-in
// writes or keys is non-finite where the rest height is finite, x and y are
// never written, and the sanitizers see no access outside any array.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <vector>

#include "base/error.h"
#include "commands/run_commands.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_session.h"
#include "hostapi/host_api.h"
#include "hostapi/host_calls.h"
#include "refhost/refhost.h"
#include "sim/event_detection.h"
#include "sim/run_control.h"
#include "sim/wave_kernel.h"
#include "sim/wave_synthesis.h"
#include "support/recording_run_view.h"

namespace rillmark {
namespace {

using testing::FakePlatform;
using testing::RecordingRunView;

// ----- values from the input ---------------------------------------------

float anyValue(FuzzedDataProvider& in, float start, float min, float max) {
  const float kOdd[] = {0.0f, -0.0f, -1.0f, 1e30f, -1e30f, 1e-30f, FLT_MAX, -FLT_MAX, 1e-40f, 0.5f, 2.0f};
  switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0:
      return start;
    case 1:
      return min;
    case 2:
      return max;
    case 3:
      return in.PickValueInArray(kOdd);
    case 4: {
      const float bits = std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>());
      return std::isfinite(bits) ? bits : start;
    }
    default:
      return static_cast<float>(in.ConsumeIntegralInRange(-400, 400)) * 0.05f;
  }
}

float coordinate(FuzzedDataProvider& in) {
  constexpr float kOdd[] = {NAN, INFINITY, -INFINITY, 3e38f, -3e38f, 1e-40f, 1e15f};
  if (in.ConsumeIntegralInRange(0, 31) == 31) return in.PickValueInArray(kOdd);
  return static_cast<float>(in.ConsumeIntegralInRange(-40, 40)) * 0.125f;
}

HostVec3 vector(FuzzedDataProvider& in) { return {coordinate(in), coordinate(in), coordinate(in)}; }

std::vector<HostVec3> vertices(FuzzedDataProvider& in, std::size_t most) {
  std::vector<HostVec3> v(in.ConsumeIntegralInRange<std::size_t>(0, most));
  // A grid most of the time, as water is; any points otherwise.
  const bool grid = in.ConsumeBool();
  for (std::size_t i = 0; i < v.size(); ++i) {
    v[i] = grid ? HostVec3{static_cast<float>(i % 7) * 0.25f - 0.75f, static_cast<float>(i / 7) * 0.25f - 0.75f,
                           in.ConsumeIntegralInRange(0, 63) == 63 ? coordinate(in) : 0.0f}
                : vector(in);
  }
  return v;
}

void typeParameters(FuzzedDataProvider& in, ParameterSet& p) {
  for (NumericParameter* n : {&p.amplitude, &p.wavelength, &p.speed, &p.decay, &p.timeDecay, &p.lifeSpan,
                              &p.noiseScale, &p.timeScale, &p.octaves}) {
    // Typed values reach the model unclamped.
    if (in.ConsumeBool()) n->setTypedValue(anyValue(in, n->DefaultVal(), n->Min(), n->Max()));
  }
  for (FlagParameter* f : {&p.wind, &p.sharp, &p.invert, &p.recordKeys, &p.checkRange}) f->setChecked(in.ConsumeBool());
  p.disturbanceType.setIndex(in.ConsumeIntegralInRange(-2, 8));
}

// ----- what must hold ----------------------------------------------------

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// x and y as they were; z finite wherever the rest height is.
void checkWater(const std::vector<HostVec3>& before, HostHandle water, const std::vector<HostVec3>& rest) {
  const std::vector<HostVec3> now = refhost::vertices(water);
  FUZZ_CHECK(now.size() == before.size());
  for (std::size_t i = 0; i < now.size(); ++i) {
    FUZZ_CHECK(sameBits(now[i].x, before[i].x) && sameBits(now[i].y, before[i].y));
    const bool restFinite = i < rest.size() ? std::isfinite(rest[i].z) : std::isfinite(before[i].z);
    if (restFinite) FUZZ_CHECK(std::isfinite(now[i].z));
  }
}

void checkKeys(HostHandle water, const std::vector<HostVec3>& rest) {
  for (const auto& [frame, keyed] : refhost::vertexKeys(water)) {
    for (std::size_t i = 0; i < keyed.size() && i < rest.size(); ++i) {
      if (std::isfinite(rest[i].z)) FUZZ_CHECK(std::isfinite(keyed[i].z));
    }
  }
}

// ----- the session -------------------------------------------------------

}  // namespace
}  // namespace rillmark

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rillmark;
  fuzz::FuzzSession& s = fuzz::fuzzSession();
  s.reset();
  FuzzedDataProvider in(data, size);
  SimulationState& state = s.state;

  forceVectorPath(in.ConsumeBool() ? VectorPath::Sse2 : VectorPath::Avx2);
  hostApiLevel() = in.PickValueInArray({430, 430, 430, 420, 410, 320, 310});

  // The water and its rest copy: a copy of it, or of another shape.
  const HostHandle water = refhost::addPolyhedron("Water", vertices(in, 32));
  HostHandle rest = nullptr;
  if (in.ConsumeIntegralInRange(0, 7) == 7) {
    rest = refhost::addPolyhedron("Other", vertices(in, 32));
  } else {
    host::tsxGNodeCopy(water, &rest);
  }
  state.WaterObject = water;
  state.WaterRestCopy = rest;
  state.RestCopySource = water;
  state.Counters.InfoPanelVisible = in.ConsumeBool();
  typeParameters(in, s.params);
  if (in.ConsumeBool()) {
    state.WindSourceObject = refhost::addObject("Wind Source", 201);
    refhost::setLocation(state.WindSourceObject, vector(in));
    refhost::setSize(state.WindSourceObject, vector(in));
  }

  // One pass over events of any frame, place and size.
  for (int e = in.ConsumeIntegralInRange(0, 12); e > 0; --e) {
    const std::int32_t frame = in.ConsumeBool() ? in.ConsumeIntegralInRange(-5, 60) : in.ConsumeIntegral<std::int32_t>();
    state.Events.append({frame, coordinate(in), coordinate(in), coordinate(in), coordinate(in)});
  }
  state.Counters.CurrentFrame = in.ConsumeIntegralInRange(-5, 60);
  const std::vector<HostVec3> restShape = refhost::vertices(rest);
  std::vector<HostVec3> before = refhost::vertices(water);
  SynthesizeFrame(s.ctx, water, in.ConsumeBool() ? static_cast<float>(state.Counters.CurrentFrame)
                                                 : anyValue(in, 0.0f, -1e9f, 1e9f));
  checkWater(before, water, restShape);

  // A few frames of the loop, with effectors that may touch the water.
  for (int e = in.ConsumeIntegralInRange(0, 4); e > 0; --e) {
    const std::string name = "Effector-" + std::to_string(e);
    const HostHandle effector = refhost::addObject(name, 201);
    refhost::setLocation(effector, vector(in));
    refhost::setSize(effector, vector(in));
    s.effectors.add(name);
    s.effectors.setChecked(s.effectors.count() - 1, in.ConsumeBool());
  }
  // Now and then the table is all but full: a few frames of detection must
  // fill it without writing past it and tell the user once. (Synthesis over
  // a hundred thousand events would make such inputs too dear to fuzz.)
  if (in.ConsumeIntegralInRange(0, 255) == 255) {
    while (state.Events.EventCount() < EventTable::kCapacity - 3) state.Events.append({-1000, 0, 0, 0, 1});
    for (int frame = 0; frame < 3; ++frame) DetectEvents(s.ctx, readWaterPlacement(water), in.ConsumeBool());
    FUZZ_CHECK(state.Events.EventCount() <= EventTable::kCapacity);
    FUZZ_CHECK(s.platform.messages.size() <= 1);
    s.reset();
    return 0;
  }
  s.params.start.setTypedValue(static_cast<float>(in.ConsumeIntegralInRange(-5, 60)));
  s.params.end.setTypedValue(s.params.start.Value() +
                                 static_cast<float>(in.ConsumeIntegralInRange(-1, 2)));
  s.params.step.setTypedValue(static_cast<float>(in.ConsumeIntegralInRange(-2, 3)));
  const int stopAt = in.ConsumeIntegralInRange(0, 40);
  s.view.onPump = [&](int pump) {
    if (pump == stopAt) btnstopClick(s.ctx);
  };

  if (in.ConsumeIntegralInRange(0, 3) == 3) {
    // Start: the water is replaced by a copy of its snapshot and baked,
    // so only the heights are judged.
    host::tsxGNodeCopy(water, &state.WaterSnapshot);
    try {
      btnstartClick(s.ctx);
    } catch (const Error&) {
      // A host that cannot copy or bake is reported to the user; the
      // panel's handler shows the message.
    }
    const std::vector<HostVec3> baked = refhost::vertices(state.WaterRestCopy);
    const std::vector<HostVec3> now = refhost::vertices(state.WaterObject);
    checkKeys(state.WaterObject, baked);
    for (std::size_t i = 0; i < baked.size() && i < now.size(); ++i) {
      if (std::isfinite(baked[i].z)) FUZZ_CHECK(std::isfinite(now[i].z));
    }
  } else {
    state.Counters.CurrentFrame = s.params.start.IntValue();
    state.Counters.StopRequested = false;
    before = refhost::vertices(water);
    RunFrames(s.ctx, in.ConsumeBool() ? RunMode::Start : RunMode::Continue, readWaterPlacement(water));
    checkWater(before, water, restShape);
    checkKeys(water, restShape);
  }
  FUZZ_CHECK(state.Events.EventCount() <= EventTable::kCapacity);
  FUZZ_CHECK(s.platform.messages.size() <= 1);
  s.reset();
  return 0;
}
