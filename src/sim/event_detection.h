// Once per simulated frame: every checked effector whose vertical extent
// reaches the water's height (and, in range-test mode, that lies near the
// water) leaves a ripple event.
#pragma once

#include "hostapi/host_types.h"
#include "sim/frame_context.h"

namespace rillmark {

// Where the water stands for the whole run: read once when it begins.
struct WaterPlacement {
  HostVec3 Lw;  // location
  HostVec3 Sw;  // size
  float Dw;     // horizontal span, sqrt(Sw.x^2 + Sw.y^2)
};

WaterPlacement readWaterPlacement(HostHandle water);

// Appends one record per touching effector, in list order. A full table
// refuses the records and the user is told once per run.
void DetectEvents(FrameContext& ctx, const WaterPlacement& water, bool rangeTest);

// The message shown when the event table fills up during a run.
extern const char* const kEventTableFullMessage;

}  // namespace rillmark
