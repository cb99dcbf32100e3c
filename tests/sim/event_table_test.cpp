#include "sim/event_table.h"

#include <gtest/gtest.h>

#include "commands/run_commands.h"
#include "sim/run_control.h"
#include "sim/simulation_state.h"

namespace rillmark {
namespace {

bool allZero(const RippleEvent& e) { return e.frame == 0 && e.x == 0 && e.y == 0 && e.z == 0 && e.size == 0; }

TEST(EventTable, HoldsExactly100001RecordsAndRefusesTheRest) {
  EventTable table;
  for (std::int32_t i = 0; i < EventTable::kCapacity; ++i) ASSERT_TRUE(table.append({i, 1, 2, 3, 4}));
  EXPECT_EQ(table.EventCount(), 100001);
  EXPECT_FALSE(table.append({-1, 9, 9, 9, 9}));
  EXPECT_FALSE(table.append({-1, 9, 9, 9, 9}));
  EXPECT_EQ(table.EventCount(), 100001);
  EXPECT_EQ(table.droppedCount(), 2);
  EXPECT_EQ(table[100000].frame, 100000);
  EXPECT_EQ(table.valid().size(), 100001u);
}

TEST(EventTable, EmptyKeepsTheRecordsWipeZeroesThem) {
  EventTable table;
  table.append({7, 1, 2, 3, 4});
  table.empty();
  EXPECT_EQ(table.EventCount(), 0);
  EXPECT_EQ(table[0].frame, 7);

  table.append({8, 1, 2, 3, 4});
  table.wipe();
  EXPECT_EQ(table.EventCount(), 0);
  EXPECT_TRUE(allZero(table[0]));
}

TEST(EventTable, FormShowWipesTheTableAndTheStatisticsRing) {
  SimulationState state;
  state.Events.append({3, 1, 1, 1, 1});
  state.Counters.RetiredCount = 4;
  state.Counters.LastTick = 99;
  state.Counters.RingIndex = 3;
  state.Counters.FrameTimeRing[2] = 17;
  state.Counters.CurrentFrame = 12;
  state.Counters.ProcessedEvents = 5;

  resetForFormShow(state);
  EXPECT_EQ(state.Events.EventCount(), 0);
  EXPECT_EQ(state.liveEventCount(), 0);
  for (std::int32_t i = 0; i < EventTable::kCapacity; i += 997) EXPECT_TRUE(allZero(state.Events[i]));
  EXPECT_TRUE(allZero(state.Events[0]));
  EXPECT_EQ(state.Counters.RetiredCount, 0);
  EXPECT_EQ(state.Counters.LastTick, 0u);
  EXPECT_EQ(state.Counters.RingIndex, 0);
  EXPECT_EQ(state.Counters.FrameTimeRing[2], 0);
  EXPECT_EQ(state.Counters.CurrentFrame, 12);
  EXPECT_EQ(state.Counters.ProcessedEvents, 5);
}

}  // namespace
}  // namespace rillmark
