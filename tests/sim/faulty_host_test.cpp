// Runs against a host that misbehaves: objects deleted or reshaped while
// the run processes messages, boxes that are not finite numbers, vertex
// counts of zero or below, vertex arrays withheld.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "commands/run_commands.h"
#include "sim/run_control.h"
#include "support/open_answers.h"
#include "support/sim_fixture.h"

namespace rillmark::testing {
namespace {

// Every height the water holds or was keyed with is finite, and no x or y
// moved from the rest shape.
void expectSoundWater(HostHandle water, const std::vector<HostVec3>& rest) {
  std::vector<std::vector<HostVec3>> shapes{refhost::vertices(water)};
  for (const auto& [frame, keyed] : refhost::vertexKeys(water)) shapes.push_back(keyed);
  for (const auto& shape : shapes) {
    ASSERT_EQ(shape.size(), rest.size());
    for (std::size_t i = 0; i < shape.size(); ++i) {
      ASSERT_TRUE(std::isfinite(shape[i].z)) << "vertex " << i;
      ASSERT_EQ(shape[i].x, rest[i].x);
      ASSERT_EQ(shape[i].y, rest[i].y);
    }
  }
}

// The calls the plug-in made with a handle after the host had let go of
// it, other than asking whether it is still an object.
std::vector<std::string_view> callsWithDeadHandle(HostHandle dead, std::size_t from) {
  std::vector<std::string_view> names;
  const auto& calls = refhost::calls();
  for (std::size_t i = from; i < calls.size(); ++i)
    if (calls[i].handle == dead && calls[i].name != "tsxIsSobj") names.push_back(calls[i].name);
  return names;
}

// Where the host acts: in the pump that starts a frame, or in one of the
// pumps of a pass (once per event).
enum class When { BetweenFrames, MidPass };
enum class Fault { DeleteWater, DeleteRestCopy, WithholdArrays };

using LossCase = std::tuple<When, Fault, OpenAnswerCase>;

class WaterLostDuringARun : public SimFixture, public ::testing::WithParamInterface<LossCase> {
 protected:
  void SetUp() override { refhost::setOpenAnswers(std::get<2>(GetParam()).answers); }
};

TEST_P(WaterLostDuringARun, EndsTheRunWithoutAnotherWriteAndSaysWhy) {
  const When when = std::get<0>(GetParam());
  const Fault fault = std::get<1>(GetParam());
  chooseWater();
  fallingSphere("Effector-0", 0, 0, -5);  // in the water at frames 4 to 6
  params.end.setValue(10);
  params.step.setValue(1);

  // Frame 5 runs two events, so its pass pumps twice. At the pump that
  // starts it, four passes have set the status line; inside it, five.
  constexpr int kFrame = 5;
  bool acted = false;
  HostHandle lost = nullptr;
  std::size_t callsBefore = 0;
  view.onPump = [&](int) {
    const std::size_t passes = view.statusTexts.size();
    const bool here = state.Counters.CurrentFrame == kFrame &&
                      passes == static_cast<std::size_t>(when == When::BetweenFrames ? kFrame : kFrame + 1);
    if (acted || !here) return;
    acted = true;
    switch (fault) {
      case Fault::DeleteWater:
        lost = state.WaterObject;
        tsxSobjDelete(lost);
        break;
      case Fault::DeleteRestCopy:
        lost = state.WaterRestCopy;
        tsxSobjDelete(lost);
        break;
      case Fault::WithholdArrays: {
        refhost::Faults faults;
        faults.nullVertexArrays = true;
        refhost::setFaults(faults);
        break;
      }
    }
    callsBefore = refhost::calls().size();
  };
  btnstartClick(ctx);

  ASSERT_TRUE(acted);
  EXPECT_EQ(state.Counters.CurrentFrame, kFrame) << "the run ended in the frame it lost the water";
  EXPECT_FALSE(state.RunInProgress);
  if (fault == Fault::DeleteWater) {
    EXPECT_EQ(platform.messages, std::vector<std::string>{kSelectWaterMessage});
    EXPECT_EQ(view.selectCaption, kSelectWaterCaption);
  } else {
    EXPECT_EQ(platform.messages, std::vector<std::string>{kWaterChangedMessage});
  }
  if (fault == Fault::DeleteWater) {
    EXPECT_EQ(callsWithDeadHandle(lost, callsBefore), std::vector<std::string_view>{});
  } else if (fault == Fault::DeleteRestCopy) {
    // The rest copy is the plug-in's own: it is never asked about, only its
    // array and count are read to compare them with those the pass holds.
    for (std::string_view name : callsWithDeadHandle(lost, callsBefore))
      EXPECT_TRUE(name == "tsxPolyhGetVxArray" || name == "tsxPolyhGetNbrVxs") << name;
  }
  if (fault != Fault::DeleteWater) {
    const auto keys = refhost::vertexKeys(state.WaterObject);
    ASSERT_EQ(keys.size(), static_cast<std::size_t>(kFrame)) << "frames 0 to 4 keyed, frame 5 not";
    const std::vector<HostVec3> now = refhost::vertices(state.WaterObject);
    const std::vector<HostVec3>& lastKeyed = keys.rbegin()->second;
    for (std::size_t i = 0; i < now.size(); ++i) ASSERT_EQ(now[i].z, lastKeyed[i].z) << "frame 5 wrote vertex " << i;
  }
}

std::string caseName(const ::testing::TestParamInfo<LossCase>& info) {
  static const char* const when[] = {"BetweenFrames", "MidPass"};
  static const char* const fault[] = {"DeleteWater", "DeleteRestCopy", "WithholdArrays"};
  return std::string(when[static_cast<int>(std::get<0>(info.param))]) +
         fault[static_cast<int>(std::get<1>(info.param))] + std::get<2>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(FaultyHost, WaterLostDuringARun,
                         ::testing::Combine(::testing::Values(When::BetweenFrames, When::MidPass),
                                            ::testing::Values(Fault::DeleteWater, Fault::DeleteRestCopy,
                                                              Fault::WithholdArrays),
                                            ::testing::ValuesIn(kOpenAnswerCases)),
                         caseName);

class FaultyHost : public SimFixture {
 protected:
  // A water, a checked effector sinking through it and a wind source off
  // to one side, wind on; then a Start run over frames 0 to 12.
  struct Scene {
    HostHandle water, effector, windSource;
  };
  Scene buildScene() {
    Scene s;
    s.water = chooseWater();
    s.effector = fallingSphere("Effector-0", 0.5f, 0, -5);
    s.windSource = tsxCreateSphere(12, 6, 0.6f);
    tsxSceneAddObject(s.windSource, 1);
    refhost::addLocationKey(s.windSource, 0, {3, 1, 0});
    state.WindSourceObject = s.windSource;
    params.wind.setChecked(true);
    params.end.setValue(12);
    params.step.setValue(1);
    return s;
  }
};

TEST_F(FaultyHost, BoxesThatAreNotFiniteOrHugeNeverReachTheWater) {
  const float values[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(), 3e38f, -3e38f};
  for (const char* node : {"water", "effector", "wind source", "every node"}) {
    for (const float value : values) {
      SCOPED_TRACE(std::string(node) + " at " + std::to_string(value));
      refhost::reset();
      state = SimulationState{};
      effectors.clear();
      const Scene s = buildScene();
      const std::vector<HostVec3> rest = refhost::vertices(s.water);
      refhost::Faults faults;
      faults.boxValue = value;
      const std::string which = node;
      faults.boxNode = which == "water" ? s.water : which == "effector" ? s.effector
                     : which == "wind source" ? s.windSource : nullptr;
      refhost::setFaults(faults);
      // Start replaces the water by a copy; the fault follows it.
      view.onPump = [&](int) {
        if (which == "water" && refhost::faults().boxNode != state.WaterObject) {
          faults.boxNode = state.WaterObject;
          refhost::setFaults(faults);
        }
      };
      btnstartClick(ctx);
      EXPECT_EQ(state.Counters.CurrentFrame, 13);
      EXPECT_TRUE(platform.messages.empty());
      expectSoundWater(state.WaterObject, rest);
      for (const RippleEvent& e : state.Events.valid())
        EXPECT_TRUE(std::isfinite(e.x) && std::isfinite(e.y) && std::isfinite(e.size)) << "frame " << e.frame;
    }
  }
}

TEST_F(FaultyHost, AWaterWithoutVerticesRunsAndWritesNothing) {
  for (const int count : {0, -1, INT_MIN}) {
    SCOPED_TRACE(count);
    refhost::reset();
    state = SimulationState{};
    effectors.clear();
    buildScene();
    refhost::Faults faults;
    faults.vertexCount = count;
    refhost::setFaults(faults);
    const std::vector<HostVec3> before = refhost::vertices(state.WaterObject);
    btnstartClick(ctx);
    EXPECT_EQ(state.Counters.CurrentFrame, 13);
    EXPECT_TRUE(platform.messages.empty());
    const std::vector<HostVec3> after = refhost::vertices(state.WaterObject);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].z, before[i].z);
  }
}

TEST_F(FaultyHost, AHostThatWithholdsTheVertexArraysGetsNoRun) {
  buildScene();
  refhost::Faults faults;
  faults.nullVertexArrays = true;
  refhost::setFaults(faults);
  btnstartClick(ctx);
  EXPECT_EQ(platform.messages, std::vector<std::string>{kWaterChangedMessage});
  EXPECT_EQ(state.Counters.CurrentFrame, 0);
  EXPECT_TRUE(refhost::vertexKeys(state.WaterObject).empty());
}

}  // namespace
}  // namespace rillmark::testing
