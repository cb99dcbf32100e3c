// When a run hands the thread to the window messages waiting for it.
//
// A run never returns to the host until it ends; it processes messages
// instead, so that Stop, Escape and the host's own windows are served. The
// frame loop of a Start run processes them before every frame. Inside a
// pass the chance comes before each event, but messages are processed
// there only once kMessageInterval has passed since they last were: under
// Wine one processing costs 60 us to 1 ms, and a pass with a thousand
// events recorded (a wake keeps adding one a frame) would otherwise spend
// more time on the queue than on the waves. A long pass still processes
// them at least that often, so a Stop clicked in the middle of a frame is
// seen within the interval and one event's work.
#pragma once

#include <cstdint>

#include "sim/frame_context.h"

namespace rillmark {

inline constexpr std::uint64_t kMessageIntervalMicroseconds = 10'000;

// Processes every pending message now (the frame loop, once per frame),
// then reads the parameters again.
void processMessagesNow(FrameContext& ctx);

// Processes pending messages when kMessageIntervalMicroseconds have passed
// since they were last processed, and then reads the parameters again;
// true when it did.
bool processMessagesIfDue(FrameContext& ctx);

}  // namespace rillmark
