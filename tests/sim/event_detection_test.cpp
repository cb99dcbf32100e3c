#include "sim/event_detection.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/sim_fixture.h"

namespace rillmark::testing {
namespace {

class EventDetection : public SimFixture {
 protected:
  EventDetection() {
    HostHandle water = refhost::addGrid("Water", 11, 11, 4, 4, 0);
    state.WaterObject = water;
    placement = readWaterPlacement(water);
  }
  // An effector box of the given place and size, listed and checked.
  HostHandle effector(const std::string& name, HostVec3 at, HostVec3 size, bool checked = true) {
    HostHandle node = refhost::addObject(name, 5);
    refhost::setLocation(node, at);
    refhost::setSize(node, size);
    effectors.add(name);
    effectors.setChecked(effectors.count() - 1, checked);
    return node;
  }
  WaterPlacement placement{};
};

TEST_F(EventDetection, ReadsTheWatersPlacement) {
  EXPECT_FLOAT_EQ(placement.Sw.x, 4);
  EXPECT_FLOAT_EQ(placement.Dw, std::sqrt(32.0f));
  EXPECT_EQ(placement.Lw.z, 0);
}

TEST_F(EventDetection, BothTestsAreStrict) {
  effector("Touching", {0, 0, 1}, {1, 1, 2});      // |1 - 0| == 2 / 2
  effector("Dipping", {0.5f, 0.25f, 0.99f}, {0.7f, 1, 2});
  // Range bound 0.5 x (2 + sqrt 32) = 3.828...: one at 3.9 is out of range.
  effector("Far", {3.9f, 0, 0}, {1, 1, 2});
  DetectEvents(ctx, placement, true);
  ASSERT_EQ(state.Events.EventCount(), 1);
  const RippleEvent& e = state.Events[0];
  EXPECT_FLOAT_EQ(e.x, 0.5f);
  EXPECT_FLOAT_EQ(e.y, 0.25f);
  EXPECT_FLOAT_EQ(e.z, 0.99f);
  EXPECT_FLOAT_EQ(e.size, 0.7f);
}

TEST_F(EventDetection, UncheckedDeletedAndRenamedItemsRecordNothing) {
  effector("Off", {0, 0, 0}, {1, 1, 2}, false);
  HostHandle gone = effector("Gone", {0, 0, 0}, {1, 1, 2});
  HostHandle renamed = effector("Renamed", {0, 0, 0}, {1, 1, 2});
  tsxSobjDelete(gone);
  refhost::setName(renamed, "Other");
  DetectEvents(ctx, placement, true);
  EXPECT_EQ(state.Events.EventCount(), 0);
}

TEST_F(EventDetection, RangeTestFollowsTheMode) {
  effector("Distant", {50, 50, 0}, {1, 1, 2});
  DetectEvents(ctx, placement, false);
  EXPECT_EQ(state.Events.EventCount(), 1);
  DetectEvents(ctx, placement, true);
  EXPECT_EQ(state.Events.EventCount(), 1);
}

TEST_F(EventDetection, EffectorsInOneFrameAreRecordedInListOrder) {
  effector("B", {1, 0, 0}, {0.5f, 1, 2});
  effector("A", {-1, 0, 0}, {0.25f, 1, 2});
  state.Counters.CurrentFrame = 17;
  DetectEvents(ctx, placement, true);
  ASSERT_EQ(state.Events.EventCount(), 2);
  EXPECT_EQ(state.Events[0].x, 1);
  EXPECT_EQ(state.Events[1].x, -1);
  EXPECT_EQ(state.Events[0].frame, 17);
  EXPECT_EQ(state.Events[1].frame, 17);
}

TEST_F(EventDetection, AFullTableIsReportedOncePerRun) {
  for (int i = 0; i < EventTable::kCapacity - 1; ++i) state.Events.append({0, 0, 0, 0, 1});
  effector("One", {0, 0, 0}, {1, 1, 2});
  effector("Two", {0, 0, 0}, {1, 1, 2});
  DetectEvents(ctx, placement, true);
  DetectEvents(ctx, placement, true);
  EXPECT_EQ(state.Events.EventCount(), EventTable::kCapacity);
  EXPECT_EQ(state.Events.droppedCount(), 3);
  EXPECT_EQ(platform.messages, (std::vector<std::string>{kEventTableFullMessage}));
}

}  // namespace
}  // namespace rillmark::testing
