// The one state a simulation run works on: the scene handles it reads and
// writes, the event table and the run counters. Plain data, zeroed at load;
// the run, the setup commands and the panel read and write it directly.
#pragma once

#include "hostapi/host_types.h"
#include "sim/event_table.h"
#include "sim/run_counters.h"
#include "sim/synthesis_cache.h"

namespace rillmark {

struct SimulationState {
  HostHandle WaterObject = nullptr;       // the polyhedron the run moves
  HostHandle WaterSnapshot = nullptr;     // copy of the water as chosen
  HostHandle WaterRestCopy = nullptr;     // baked rest shape, input of every pass
  HostHandle WindSourceObject = nullptr;  // steers the wind

  EventTable Events;
  RunCounters Counters;

  // The water WaterRestCopy was taken from; Continue needs the two to match.
  HostHandle RestCopySource = nullptr;
  // Set while the frame loop runs, so that commands arriving through its
  // message pumping leave the water alone.
  bool RunInProgress = false;
  // The user has been told this run that the event table is full.
  bool TableFullReported = false;
  // When the run last processed window messages (message_schedule.h).
  std::uint64_t MessagesProcessedAt = 0;
  // The synthesis's grid over WaterRestCopy and its working arrays.
  SynthesisCache Synthesis;

  // Live events as the status line and the statistics count them.
  std::int32_t liveEventCount() const { return Events.EventCount() - Counters.RetiredCount; }
};

}  // namespace rillmark
