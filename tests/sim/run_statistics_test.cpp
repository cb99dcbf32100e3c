#include "sim/run_statistics.h"

#include <gtest/gtest.h>

#include "support/sim_fixture.h"

namespace rillmark::testing {
namespace {

using RunStatistics = SimFixture;

TEST_F(RunStatistics, FrameZeroLeavesEverythingUntouched) {
  state.Counters.CurrentFrame = 0;
  state.Events.append({0, 0, 0, 0, 1});
  UpdateRunStatistics(ctx);
  EXPECT_TRUE(view.statistics.empty());
  EXPECT_EQ(state.Counters.ProcessedEvents, 0);
  EXPECT_EQ(view.infoRepaints, 0);
}

TEST_F(RunStatistics, LabelsRingAndEstimate) {
  RunCounters& c = state.Counters;
  c.CurrentFrame = 20;
  c.RunStartTick = 1000;
  c.LastTick = 61000;
  c.VertexCount = 6400;
  c.RetiredCount = 1;
  c.ProcessedEvents = 100;
  c.RingIndex = 4;
  c.FrameTimeRing[1] = 400;
  for (int i = 0; i < 4; ++i) state.Events.append({0, 0, 0, 0, 1});
  platform.ticks = 62500;  // 61.5 s after the start
  ctx.params.end = 70;  // End as the run last read it

  UpdateRunStatistics(ctx);
  EXPECT_EQ(c.ProcessedEvents, 103);
  const auto& s = view.statistics;
  EXPECT_EQ(s.at(StatisticLabel::labframes), "20");
  EXPECT_EQ(s.at(StatisticLabel::labevents), "103");
  EXPECT_EQ(s.at(StatisticLabel::labevsec), "1");             // 103 / 62
  EXPECT_EQ(s.at(StatisticLabel::labverts), "659200");        // 103 x 6400
  EXPECT_EQ(s.at(StatisticLabel::labvertsec), "10632");       // 659200 / 62
  EXPECT_EQ(s.at(StatisticLabel::labtime), "00:01:01.00");
  EXPECT_EQ(s.at(StatisticLabel::labtpf), "00:00:03.05");
  // The ring wraps from slot 4 to 0 and takes 62500 - 61000 ms.
  EXPECT_EQ(c.RingIndex, 0);
  EXPECT_EQ(c.FrameTimeRing[0], 1500);
  // (1500 + 400) x 0.0002 x 50 remaining frames = 19 s.
  EXPECT_EQ(s.at(StatisticLabel::labetime), "00:00:19.00");
  EXPECT_EQ(view.infoRepaints, 1);
  const std::vector<StatisticLabel> order{StatisticLabel::labframes,  StatisticLabel::labevents,
                                          StatisticLabel::labevsec,   StatisticLabel::labverts,
                                          StatisticLabel::labvertsec, StatisticLabel::labtime,
                                          StatisticLabel::labtpf,     StatisticLabel::labetime};
  EXPECT_EQ(view.statisticOrder, order);
}

TEST_F(RunStatistics, ProductsDoNotOverflowOnLongRuns) {
  RunCounters& c = state.Counters;
  c.CurrentFrame = 9000;
  c.VertexCount = 90000;
  c.ProcessedEvents = 3'000'000'000LL;
  UpdateRunStatistics(ctx);
  EXPECT_EQ(view.statistics.at(StatisticLabel::labverts), "270000000000000");
}

}  // namespace
}  // namespace rillmark::testing
