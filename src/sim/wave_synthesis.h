// One frame of the water: every vertex set to its rest height plus the wind
// plus the damped circular waves of all live events, written straight into
// the host's vertex array of the water.
#pragma once

#include <cstdint>
#include <string>

#include "hostapi/host_types.h"
#include "sim/frame_context.h"

namespace rillmark {

// Runs one pass for frame t (time counts in frames). Reads the rest shape
// from ctx.state.WaterRestCopy, processes window messages before an event
// when they are due (message_schedule.h),
// and tells the host which vertices and geometry changed before redrawing.
// Should the water or its rest copy be deleted or reshaped while messages
// are processed, the pass ends there and writes nothing (held_water.h).
void SynthesizeFrame(FrameContext& ctx, HostHandle water, float t);

// The status line text: "Frame:<frame>  Events:<live events>".
std::string statusText(std::int32_t frame, std::int32_t liveEvents);

}  // namespace rillmark
