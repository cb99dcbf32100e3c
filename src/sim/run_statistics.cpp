#include "sim/run_statistics.h"

#include <cstdint>
#include <string>

#include "params/numeric_parameter.h"
#include "scene/seconds_to_text.h"

namespace rillmark {

void UpdateRunStatistics(FrameContext& ctx) {
  RunCounters& c = ctx.state.Counters;
  if (c.CurrentFrame == 0) return;

  const char separator = ctx.platform.decimalSeparator();
  const auto show = [&](StatisticLabel label, const std::string& text) { ctx.view.showStatistic(label, text); };

  // Unsigned difference: correct across a wrap of the tick counter.
  const std::int64_t s = static_cast<std::uint32_t>(ctx.platform.tickCount() - c.RunStartTick) / 1000;
  show(StatisticLabel::labframes, std::to_string(c.CurrentFrame));

  c.ProcessedEvents += ctx.state.liveEventCount();
  show(StatisticLabel::labevents, std::to_string(c.ProcessedEvents));

  // 64-bit products: events x vertices passes 2^31 on long runs.
  const std::int64_t processedVertices = c.ProcessedEvents * c.VertexCount;
  show(StatisticLabel::labevsec, std::to_string(c.ProcessedEvents / (s + 1)));
  show(StatisticLabel::labverts, std::to_string(processedVertices));
  show(StatisticLabel::labvertsec, std::to_string(processedVertices / (s + 1)));
  show(StatisticLabel::labtime, SecondsToText(static_cast<float>(s), separator));
  show(StatisticLabel::labtpf, SecondsToText(static_cast<float>(s) / static_cast<float>(c.CurrentFrame), separator));

  c.RingIndex += 1;
  if (c.RingIndex > 4) c.RingIndex = 0;
  const std::uint32_t now = ctx.platform.tickCount();
  c.FrameTimeRing[c.RingIndex] = static_cast<std::int32_t>(now - c.LastTick);
  c.LastTick = ctx.platform.tickCount();

  std::int64_t sum = 0;
  for (std::int32_t slot : c.FrameTimeRing) sum += slot;
  const std::int64_t remaining = static_cast<std::int64_t>(ctx.params.end) - c.CurrentFrame;
  const float estimate = static_cast<float>(static_cast<double>(sum) * 0.0002 * static_cast<double>(remaining));
  show(StatisticLabel::labetime, SecondsToText(static_cast<float>(roundHalfEven(estimate)), separator));

  ctx.view.repaintInfoPanel();
}

}  // namespace rillmark
