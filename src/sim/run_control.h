// The frame loop that Start and Continue share (commands/run_commands.h).
//
// A run never returns to the host between frames; it processes window
// messages instead, so panel handlers can run in the middle of a frame.
// While the loop runs, SimulationState::RunInProgress is set, so commands
// that would replace the water know to leave it alone; Stop reaches the
// loop through Counters.StopRequested, which it reads before each frame.
#pragma once

#include "sim/event_detection.h"
#include "sim/frame_context.h"

namespace rillmark {

enum class RunMode {
  Start,     // range test follows "Check Range"; messages pumped every frame
  Continue,  // range test always applied
};

inline constexpr const char* kSelectWaterMessage = "Please Select Water Object";
inline constexpr const char* kSelectWaterCaption = "Select Water Surface";
// The run ended because its rest copy went, or the water's vertices were
// changed, while it processed messages.
inline constexpr const char* kWaterChangedMessage =
    "The water object changed during the run, so the run has ended. Press Start to run it again.";

// Attribute under which the water's vertex positions are keyed.
inline constexpr int kVertexKeyAttribute = 23;

// Shows kSelectWaterMessage and sets the select-water caption: the run
// has no water to work on.
void askForWater(FrameContext& ctx);

// Simulates frames from CurrentFrame while it is not past "End" and no stop
// was asked for. A "Step" below 1 is taken as 1, so every run advances.
// Should the host delete the water while the run processes messages, the
// run ends with kSelectWaterMessage; should it delete the rest copy or
// change the water's vertices, with kWaterChangedMessage.
void RunFrames(FrameContext& ctx, RunMode mode, const WaterPlacement& water);

}  // namespace rillmark
