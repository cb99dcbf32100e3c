// The numbers and flags that drive the frame loop, the status line and the
// information panel.
#pragma once

#include <cstdint>

namespace rillmark {

struct RunCounters {
  std::int32_t CurrentFrame = 0;  // between runs: the next frame a run would simulate
  std::int32_t RetiredCount = 0;  // events the last pass skipped as too old
  std::int32_t VertexCount = 0;   // water vertices at the last pass
  std::int64_t ProcessedEvents = 0;  // 64-bit: long runs pass 2^31
  std::uint32_t RunStartTick = 0;  // milliseconds
  std::uint32_t LastTick = 0;
  std::int32_t FrameTimeRing[5] = {0, 0, 0, 0, 0};
  std::int32_t RingIndex = 0;  // slot written last, 0 to 4
  bool StopRequested = false;
  bool InfoPanelVisible = false;
};

}  // namespace rillmark
