// The run buttons of the control panel and the frame loop they share.
//
// A run never returns to the host between frames; it processes window
// messages instead, so panel handlers can run in the middle of a frame.
// While the loop runs, Start, Continue and Erase Vertex Animation do
// nothing (SimulationState::RunInProgress); Stop is the one handler meant to
// reach a running loop.
#pragma once

#include "sim/event_detection.h"
#include "sim/run_context.h"

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

void btnstartClick(RunContext& ctx);
void btncontinueClick(RunContext& ctx);
void btnstopClick(RunContext& ctx);
void btndelanimClick(RunContext& ctx);

// Deletes the plug-in's own copies of the water (the snapshot and the
// rest copy) when it is unloaded: nothing else would ever free them.
void releaseWaterCopies(SimulationState& state);

// The run state's part of showing the panel: wipes the event table and the
// statistics ring. The panel resets its own counters beside it.
void resetForFormShow(SimulationState& state);

// Simulates frames from CurrentFrame while it is not past "End" and no stop
// was asked for. A "Step" below 1 is taken as 1, so every run advances.
// Should the host delete the water while the run processes messages, the
// run ends with kSelectWaterMessage; should it delete the rest copy or
// change the water's vertices, with kWaterChangedMessage.
void RunFrames(RunContext& ctx, RunMode mode, const WaterPlacement& water);

}  // namespace rillmark
