#include "commands/run_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/error.h"
#include "scene/scene_helpers.h"
#include "sim/event_detection.h"
#include "support/open_answers.h"
#include "support/sim_fixture.h"

namespace rillmark::testing {
namespace {

class RunControl : public UnderOpenAnswers<SimFixture> {
 protected:
  std::vector<double> activeTimes() {
    std::vector<double> times;
    for (const auto& call : refhost::callsNamed("tsxAnimSetActiveTime")) times.push_back(call.numbers.at(0));
    return times;
  }
  std::vector<std::string_view> callNames() {
    std::vector<std::string_view> names;
    for (const auto& call : refhost::calls()) names.push_back(call.name);
    return names;
  }
};

TEST_P(RunControl, StartWithoutWaterAsksForIt) {
  btnstartClick(ctx);
  EXPECT_EQ(platform.messages, (std::vector<std::string>{"Please Select Water Object"}));
  EXPECT_EQ(view.selectCaption, "Select Water Surface");
  EXPECT_FALSE(view.continueAndStopEnabled);
  EXPECT_EQ(refhost::callCount("tsxAnimSetActiveTime"), 0);

  btncontinueClick(ctx);
  EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_P(RunControl, StartRunsEveryStepFromStartToEnd) {
  chooseWater();
  fallingSphere("Effector-0", 0, 0, 0);
  btnstartClick(ctx);

  EXPECT_EQ(state.Counters.CurrentFrame, 102);
  std::vector<double> expected{0, 0};  // erase, then Start's own reset
  for (int f = 0; f <= 100; f += 2) expected.push_back(f);
  EXPECT_EQ(activeTimes(), expected);
  const auto keys = refhost::vertexKeys(state.WaterObject);
  EXPECT_EQ(keys.size(), 51u);
  EXPECT_EQ(keys.begin()->first, 0);
  EXPECT_EQ(keys.rbegin()->first, 100);
  EXPECT_GT(state.Events.EventCount(), 0);
  EXPECT_TRUE(view.continueAndStopEnabled);
  EXPECT_EQ(refhost::attributes(state.WaterObject).count(23), 1u);
}

TEST_P(RunControl, StartPreparesTheWaterInOrder) {
  HostHandle original = chooseWater(3);
  const HostHandle snapshot = state.WaterSnapshot;
  params.end.setValue(1);
  params.start.setValue(5);  // above End: no frame is run
  refhost::clearCalls();
  btnstartClick(ctx);

  HostHandle fresh = state.WaterObject;
  EXPECT_NE(fresh, original);
  EXPECT_FALSE(refhost::isLive(original));
  EXPECT_TRUE(refhost::inScene(fresh));
  EXPECT_EQ(refhost::addMode(fresh), 0);
  EXPECT_NE(state.WaterRestCopy, nullptr);
  EXPECT_FALSE(refhost::inScene(state.WaterRestCopy));
  EXPECT_EQ(state.Counters.CurrentFrame, 5);

  std::vector<std::string_view> expected{
      "tsxIsSobj",                // Start: the water is live
      "tsxAnimSetPlayMode",       "tsxAnimSetActiveTime",
      "tsxGNodeCopy",             // erase: the snapshot is copied
      "tsxIsSobj",                "tsxSobjDelete",  // only then does the water go
      "tsxSceneAddObject",        "tsxGNodeDeleteScriptTree", "tsxGNodeCreateScriptTree",
      "tsxAnimSetPlayMode",       "tsxAnimSetActiveTime",
      "tsxGNodeDeleteScriptTree", "tsxGNodeCreateScriptTree"};
  // Two bakes: the water, then its rest copy.
  for (int bake = 0; bake < 2; ++bake) {
    if (bake == 1) expected.push_back("tsxGNodeCopy");
    for (auto name : {"tsxGNodeCopy", "tsxPolyhGetVxArray", "tsxPolyhGetVxArray", "tsxPolyhGetNbrVxs",
                      "tsxPolyhGetVxTxmx"})
      expected.push_back(name);
    for (int i = 0; i < 9; ++i) expected.push_back("tsxTransformVecs3f");
    for (auto name : {"tsxPolyhSetVxTxmx", "tsxPolyhMarkGeomChange", "tsxGNodeSetFrame", "tsxGNodeSetFrame",
                      "tsxGNodeSetFrame", "tsxSobjDelete"})
      expected.push_back(name);
  }
  for (auto name : {"tsxGNodeGetLocation", "tsxGNodeGetSize", "tsxSobjAddAttribute", "tsxAnimSetPlayMode"})
    expected.push_back(name);
  EXPECT_EQ(callNames(), expected);
  // Only the user's water is asked about, never the plug-in's own copies.
  for (const auto& call : refhost::callsNamed("tsxIsSobj")) EXPECT_EQ(call.handle, original);
  EXPECT_EQ(refhost::callsNamed("tsxGNodeCopy").at(0).handle, snapshot);
  EXPECT_EQ(refhost::callsNamed("tsxSobjDelete").at(0).handle, original);
  // The bakes' copies are gone again: the water, its snapshot, its rest copy.
  EXPECT_EQ(refhost::liveNodeCount(), 3);
  EXPECT_EQ(refhost::callsNamed("tsxSceneAddObject").at(0).handle, fresh);
  EXPECT_EQ(refhost::callsNamed("tsxSceneAddObject")[0].numbers, (std::vector<double>{0}));
  EXPECT_EQ(refhost::callsNamed("tsxSobjAddAttribute")[0].numbers, (std::vector<double>{23}));
  EXPECT_EQ(refhost::callsNamed("tsxSobjAddAttribute")[0].handle, fresh);
}

TEST_P(RunControl, WithoutRecordKeysTheWaterMovesButNoKeyIsSet) {
  chooseWater();
  fallingSphere("Effector-0", 0, 0, 0);
  params.recordKeys.setChecked(false);
  btnstartClick(ctx);
  EXPECT_TRUE(refhost::vertexKeys(state.WaterObject).empty());
  EXPECT_EQ(refhost::callCount("tsxSobjSetFrame"), 0);
  EXPECT_EQ(refhost::attributes(state.WaterObject).count(23), 1u);
  EXPECT_EQ(refhost::drawCount(), 51);
}

TEST_P(RunControl, KeyedHeightsEqualTheWaveSumComputedIndependently) {
  chooseWater(15);
  fallingSphere("Effector-0", 0.5f, 0, 0);
  fallingSphere("Effector-1", -1, 0.5f, 6);
  params.end.setValue(30);
  btnstartClick(ctx);

  const std::vector<HostVec3> rest = refhost::vertices(state.WaterRestCopy);
  const auto keys = refhost::vertexKeys(state.WaterObject);
  const double A = 0.1 * params.amplitude.Value(), k = 1.0 / params.wavelength.Value();
  const double v = params.speed.Value() + 0.0001;
  const double D = params.decay.Value(), T = params.timeDecay.Value();
  for (int frame : {10, 20, 30}) {
    const std::vector<HostVec3>& keyed = keys.at(frame);
    for (std::size_t i = 0; i < rest.size(); ++i) {
      double z = rest[i].z;
      for (std::int32_t e = 0; e < state.Events.EventCount(); ++e) {
        const RippleEvent& ev = state.Events[e];
        if (ev.frame > frame) break;
        if (e > 0 && frame - ev.frame > params.lifeSpan.Value()) continue;
        const double r = std::hypot(ev.x - rest[i].x, ev.y - rest[i].y);
        const double phi = (frame - ev.frame) * v + (0.5 * ev.size - r) * k;
        if (phi < -2) continue;
        z += A * std::cos(phi) * std::exp(-D * phi - T * (0.5 * ev.size * k + (frame - ev.frame) * v));
      }
      ASSERT_NEAR(keyed[i].z, z, 1e-5) << "frame " << frame << " vertex " << i;
    }
  }
  // Both spheres left events, in frame order.
  ASSERT_GE(state.Events.EventCount(), 2);
  EXPECT_EQ(state.Events[0].x, 0.5f);
  EXPECT_EQ(state.Events[state.Events.EventCount() - 1].x, -1.0f);
}

TEST_P(RunControl, StopDuringAFrameThenContinueResumesWithTheOldEvents) {
  chooseWater();
  fallingSphere("Effector-0", 0, 0, 0);
  // Stop arrives through a message pump once events exist (mid-frame).
  view.onPump = [&](int) {
    if (state.Counters.CurrentFrame == 12) btnstopClick(ctx);
  };
  btnstartClick(ctx);
  EXPECT_EQ(state.Counters.CurrentFrame, 14);
  const std::int32_t eventsAtStop = state.Events.EventCount();
  ASSERT_GT(eventsAtStop, 0);
  const std::vector<HostVec3> frame12 = refhost::vertexKeys(state.WaterObject).at(12);

  view.onPump = nullptr;
  refhost::clearCalls();
  btncontinueClick(ctx);
  EXPECT_EQ(activeTimes().front(), 14);
  EXPECT_EQ(state.Counters.CurrentFrame, 102);
  const auto keys = refhost::vertexKeys(state.WaterObject);
  const std::vector<HostVec3>& keyed12 = keys.at(12);  // nothing before the stop was redone
  ASSERT_EQ(keyed12.size(), frame12.size());
  for (std::size_t i = 0; i < frame12.size(); ++i) EXPECT_EQ(keyed12[i].z, frame12[i].z);
  EXPECT_GE(state.Events.EventCount(), eventsAtStop);
  // The events before the stop still make waves after it.
  bool moved = false;
  for (const HostVec3& v : keys.at(16)) moved |= v.z != 0;
  EXPECT_TRUE(moved);
  EXPECT_EQ(refhost::callCount("tsxGNodeCopy"), 0);  // no erase, bake or copy
}

// A Start run processes messages before every frame, whatever the clock
// says; inside the passes only once the interval has passed.
TEST_P(RunControl, AStartRunProcessesMessagesBeforeEveryFrame) {
  chooseWater();
  fallingSphere("Effector-0", 0, 0, 0);
  params.end.setValue(30);
  platform.microsPerReading = 0;
  btnstartClick(ctx);
  EXPECT_EQ(state.Counters.CurrentFrame, 32);
  EXPECT_EQ(view.pumps, 16);
}

// A sphere far beside the water crosses its height at frames 9 to 11: out
// of range, it leaves events only while "Check Range" is cleared.
TEST_P(RunControl, CheckRangeChangedDuringARunCountsFromTheNextFrame) {
  chooseWater();
  fallingSphere("Effector-0", 10, 0, 0);
  params.end.setValue(14);
  params.step.setValue(1);
  params.checkRange.setChecked(true);
  view.onPump = [&](int) {
    if (state.Counters.CurrentFrame == 10) params.checkRange.setChecked(false);
  };
  btnstartClick(ctx);
  ASSERT_GT(state.Events.EventCount(), 0);
  EXPECT_EQ(state.Events[0].frame, 10) << "frame 9 ran with the range test";
}

TEST_P(RunControl, ContinueAfterTheEndSimulatesOnlyWhenEndWasRaised) {
  chooseWater();
  params.end.setValue(10);
  btnstartClick(ctx);
  refhost::clearCalls();
  btncontinueClick(ctx);
  EXPECT_TRUE(activeTimes().empty());
  params.end.setValue(14);
  btncontinueClick(ctx);
  EXPECT_EQ(activeTimes(), (std::vector<double>{12, 14}));
}

TEST_P(RunControl, ASecondStartEmptiesTheTable) {
  chooseWater();
  fallingSphere("Effector-0", 0, 0, 0);
  params.end.setValue(20);
  btnstartClick(ctx);
  ASSERT_GT(state.Events.EventCount(), 0);
  effectors.setChecked(0, false);
  btnstartClick(ctx);
  EXPECT_EQ(state.Events.EventCount(), 0);
  for (const HostVec3& v : refhost::vertices(state.WaterObject)) EXPECT_EQ(v.z, 0);
}

TEST_P(RunControl, ContinueWithAnotherWaterStartsAfresh) {
  chooseWater(5);
  params.end.setValue(4);
  btnstartClick(ctx);
  HostHandle other = chooseWater(7);
  params.end.setValue(8);
  btncontinueClick(ctx);
  EXPECT_NE(state.WaterObject, other);  // erased and replaced as Start does
  EXPECT_EQ(state.RestCopySource, state.WaterObject);
  EXPECT_EQ(refhost::vertices(state.WaterRestCopy).size(), 49u);
  EXPECT_EQ(state.Counters.CurrentFrame, 10);
}

TEST_P(RunControl, CommandsArrivingDuringARunAreIgnored) {
  chooseWater();
  fallingSphere("Effector-0", 0, 0, 0);
  params.end.setValue(6);
  HostHandle waterOfRun = nullptr;
  int copiesBefore = 0;
  view.onPump = [&](int pump) {
    if (pump != 3) return;
    waterOfRun = state.WaterObject;
    copiesBefore = static_cast<int>(refhost::callCount("tsxGNodeCopy"));
    btnstartClick(ctx);
    btncontinueClick(ctx);
    btndelanimClick(ctx);
    EXPECT_EQ(state.WaterObject, waterOfRun);
    EXPECT_EQ(refhost::callCount("tsxGNodeCopy"), copiesBefore);
  };
  btnstartClick(ctx);
  EXPECT_EQ(state.WaterObject, waterOfRun);
  EXPECT_TRUE(refhost::isLive(waterOfRun));
  EXPECT_EQ(state.Counters.CurrentFrame, 8);
  EXPECT_FALSE(state.RunInProgress);
}

TEST_P(RunControl, AStepBelowOneAdvancesByOne) {
  chooseWater();
  params.end.setValue(3);
  params.step.setTypedValue(0);
  btnstartClick(ctx);
  EXPECT_EQ(state.Counters.CurrentFrame, 4);
  params.step.setTypedValue(-5);
  params.end.setValue(6);
  btncontinueClick(ctx);
  EXPECT_EQ(state.Counters.CurrentFrame, 7);
}

TEST_P(RunControl, EraseReplacesTheWaterWithAFreshCopyOfTheSnapshot) {
  btndelanimClick(ctx);  // no water yet: only the time is reset
  EXPECT_EQ(callNames(), (std::vector<std::string_view>{"tsxAnimSetPlayMode", "tsxAnimSetActiveTime"}));

  HostHandle water = chooseWater();
  btnstartClick(ctx);
  ASSERT_FALSE(refhost::vertexKeys(state.WaterObject).empty());
  btndelanimClick(ctx);
  EXPECT_FALSE(refhost::isLive(water));
  EXPECT_TRUE(refhost::inScene(state.WaterObject));
  EXPECT_TRUE(refhost::vertexKeys(state.WaterObject).empty());
  EXPECT_EQ(refhost::currentTime(), 0.0f);

  // A water the user deleted in the host is replaced, not deleted again.
  tsxSobjDelete(state.WaterObject);
  refhost::clearCalls();
  btndelanimClick(ctx);
  EXPECT_EQ(refhost::callCount("tsxSobjDelete"), 0);
  EXPECT_TRUE(refhost::inScene(state.WaterObject));
}

TEST_P(RunControl, WithoutASnapshotEraseKeepsTheWaterAndStartRunsOnIt) {
  HostHandle water = chooseWater();
  releaseCopy(state.WaterSnapshot);  // as when the host made no copy at Select Water
  refhost::clearCalls();
  btndelanimClick(ctx);
  EXPECT_EQ(state.WaterObject, water);
  EXPECT_TRUE(refhost::inScene(water));
  EXPECT_EQ(refhost::callCount("tsxSobjDelete"), 0);
  EXPECT_EQ(refhost::callCount("tsxGNodeCopy"), 0);

  fallingSphere("Effector-0", 0, 0, 0);
  params.end.setValue(20);
  btnstartClick(ctx);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(state.WaterObject, water);
  EXPECT_TRUE(refhost::inScene(water));
  EXPECT_EQ(refhost::vertexKeys(water).size(), 11u);
  EXPECT_EQ(state.RestCopySource, water);
  EXPECT_GT(state.Events.EventCount(), 0);
}

TEST_P(RunControl, EraseAndStartFollowTheCopiedHandleNotTheResult) {
  HostHandle water = chooseWater();
  params.end.setValue(4);
  {
    SCOPED_TRACE("zero with a copy");
    refhost::setCopyAnswer(refhost::CopyAnswer::ZeroWithCopy);
    btnstartClick(ctx);
    EXPECT_FALSE(refhost::isLive(water));
    EXPECT_TRUE(refhost::inScene(state.WaterObject));
    EXPECT_TRUE(refhost::isLive(state.WaterRestCopy));
    EXPECT_EQ(refhost::vertexKeys(state.WaterObject).size(), 3u);
  }
  {
    SCOPED_TRACE("nonzero without a copy");
    water = state.WaterObject;
    refhost::setCopyAnswer(refhost::CopyAnswer::NonzeroWithoutCopy);
    btndelanimClick(ctx);
    EXPECT_EQ(state.WaterObject, water);
    EXPECT_TRUE(refhost::inScene(water));
    // Start goes on with the water but cannot bake it without a copy.
    EXPECT_THROW(btnstartClick(ctx), Error);
    EXPECT_TRUE(refhost::inScene(water));
  }
}

TEST_P(RunControl, TheCopiesOfTheWaterAreReleasedWhenReplacedAndAtUnload) {
  HostHandle water = chooseWater(3);
  params.end.setValue(2);
  btnstartClick(ctx);
  const HostHandle firstRest = state.WaterRestCopy;
  btnstartClick(ctx);
  EXPECT_FALSE(refhost::isLive(firstRest)) << "a new Start releases the earlier rest copy";
  EXPECT_TRUE(refhost::isLive(state.WaterRestCopy));

  water = state.WaterObject;
  const HostHandle snapshot = state.WaterSnapshot, rest = state.WaterRestCopy;
  releaseWaterCopies(state);
  EXPECT_FALSE(refhost::isLive(snapshot));
  EXPECT_FALSE(refhost::isLive(rest));
  EXPECT_TRUE(refhost::inScene(water)) << "the water is the user's";
  EXPECT_EQ(refhost::liveNodeCount(), 1);
  EXPECT_EQ(state.WaterSnapshot, nullptr);
  EXPECT_EQ(state.WaterRestCopy, nullptr);
}

// Fifty thousand effectors in the water for three frames leave more events
// than the table holds: the user is told once, the rest are dropped, and
// the run (and a Continue after it) goes on to its end.
using FullEventTable = SimFixture;

TEST_F(FullEventTable, ARunThatFillsTheEventTableSaysSoOnceAndEndsCleanly) {
  chooseWater(5);
  // A box rather than a sphere: the host answers its place at once.
  HostHandle ball = refhost::addObject("Ball", 201);
  refhost::setSize(ball, {0.6f, 0.6f, 0.6f});
  for (int i = 0; i < 50000; ++i) {
    effectors.add("Ball");
    effectors.setChecked(i, true);
  }
  params.end.setValue(2);
  params.step.setValue(1);
  refhost::setRecording(false);
  btnstartClick(ctx);
  EXPECT_EQ(state.Counters.CurrentFrame, 3);
  EXPECT_EQ(state.Events.EventCount(), EventTable::kCapacity);
  EXPECT_EQ(state.Events.droppedCount(), 150000 - EventTable::kCapacity);
  EXPECT_EQ(platform.messages, std::vector<std::string>{kEventTableFullMessage});
  const auto keys = refhost::vertexKeys(state.WaterObject);
  EXPECT_EQ(keys.size(), 3u);
  for (const auto& [frame, keyed] : keys)
    for (const HostVec3& v : keyed) ASSERT_TRUE(std::isfinite(v.z)) << "frame " << frame;

  params.end.setValue(3);
  btncontinueClick(ctx);
  EXPECT_EQ(state.Counters.CurrentFrame, 4);
  EXPECT_EQ(platform.messages.size(), 1u) << "told once";
}

RILLMARK_UNDER_OPEN_ANSWERS(RunControl);

}  // namespace
}  // namespace rillmark::testing
