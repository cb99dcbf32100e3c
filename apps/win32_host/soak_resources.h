// What the soak holds the process to from its baseline to its end: the
// same windows and threads, the plug-in's GDI objects and the kernel
// handles within a few, memory within a small margin. Both measurements
// are taken in one state of the scene and the panel (see
// User::comparableState), so only what piles up shows.
#pragma once

#include <string>

#include "load_cycles.h"

namespace rillmark::testhost::soak {

struct Measurement {
  Resources process;
  long long pluginGdiObjects = 0;
  long long sceneNodes = 0;  // nodes alive in the reference host
  long long fileNamesGiven = 0;  // file dialogs so far that returned a name
};

// When the baseline is taken, in ms from the start: after a minute, or
// after a third of a shorter soak, so that every soak checks.
unsigned baselineAfterMs(int seconds);

// On the host's thread.
Measurement measureProcess();

void print(const std::string& when, const Measurement& m);

// fail()s with what grew.
void checkResources(const Measurement& baseline, const Measurement& end);

}  // namespace rillmark::testhost::soak
