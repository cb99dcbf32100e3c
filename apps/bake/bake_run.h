// One simulation run in the bake host, made by the plug-in's own commands:
// Select Water on the water, check marks on the effectors, the wind source
// found by its name, then Start. Every call into the run and setup
// commands is in bake_run.cpp, and nowhere else in the program.
#pragma once

#include <csignal>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "hostapi/host_types.h"
#include "params/parameter_set.h"
#include "sim/vertex_bands.h"

namespace bake {

class BakeHost;

struct RunRequest {
  HostHandle water = nullptr;
  std::vector<std::string> effectors;  // checked by name, besides the prefix rule
  bool windSource = false;             // the scene has one
  // Each frame the run draws: its number and the water's vertices.
  std::function<void(int frame, std::span<const HostVec3> vertices)> onFrame;
  // As each frame begins, before its pass writes the water: the water,
  // whose vertices may be moved to another array now (BakeHost).
  std::function<void(HostHandle water)> onFrameStart;
  // Set (by a signal handler) to stop the run at the end of its frame.
  const volatile std::sig_atomic_t* stop = nullptr;
  // Threads lent to each frame's synthesis, if any.
  rillmark::VertexBands* bands = nullptr;
};

struct RunOutcome {
  int frames = 0;           // frames simulated and drawn
  int events = 0;           // ripple events recorded
  int vertices = 0;         // of the water
  bool stopped = false;     // by the stop flag
  std::vector<std::string> messages;  // what the run told its user
};

// The run itself is the plug-in's; this only sets it up and watches it.
RunOutcome runSimulation(BakeHost& host, rillmark::ParameterSet& params, const RunRequest& request);

// The message a run shows when its event table is full; the run goes on
// without further events.
bool isTableFullMessage(const std::string& message);

}  // namespace bake
