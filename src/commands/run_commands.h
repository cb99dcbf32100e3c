// What the run buttons of the control panel do: Start, Continue, Stop and
// Erase Vertex Animation, and the run state's part of showing the panel
// and of unloading. Start and Continue prepare the water and hand over to
// the frame loop (sim/run_control.h).
//
// While the loop runs, Start, Continue and Erase Vertex Animation do
// nothing (SimulationState::RunInProgress); Stop is the one handler meant
// to reach a running loop.
#pragma once

#include "commands/run_context.h"
#include "sim/simulation_state.h"

namespace rillmark {

void btnstartClick(RunContext& ctx);
void btncontinueClick(RunContext& ctx);
void btnstopClick(RunContext& ctx);
void btndelanimClick(RunContext& ctx);

// Deletes the plug-in's own copies of the water (the snapshot and the
// rest copy) when it is unloaded: nothing else would ever free them.
void releaseWaterCopies(SimulationState& state);

// The run state's part of showing the panel: wipes the event table and the
// statistics ring, unless a run is in progress. The panel resets its own
// counters beside it.
void resetForFormShow(SimulationState& state);

}  // namespace rillmark
