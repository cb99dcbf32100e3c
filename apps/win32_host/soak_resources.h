// What the soak holds the process to from its baseline to its end: the
// same windows and threads, the plug-in's GDI objects and the kernel
// handles within a few, memory within a small margin. Both measurements
// are taken in one state of the scene and the panel (see
// User::comparableState), so only what piles up shows.
#pragma once

#include <string>

#include "load_cycles.h"
#include "soak_margins.h"

namespace rillmark::testhost::soak {

// On the host's thread.
Measurement measureProcess();

void print(const std::string& when, const Measurement& m);

// fail()s with resourceProblems(), when there are any.
void checkResources(const Measurement& baseline, const Measurement& end);

}  // namespace rillmark::testhost::soak
