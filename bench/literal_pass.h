// The synthesis pass exactly in the order the plug-in's documentation
// gives it: every live event visits every vertex, each vertex-event pair
// marks the vertex where the documented order does, and cos and exp come
// from the C library. Kept as the baseline that the benchmarks compare the
// production pass with, and as the reference of the accuracy tests.
#pragma once

#include "hostapi/host_types.h"
#include "sim/run_context.h"

namespace rillmark::literal {

// Same contract as rillmark::SynthesizeFrame.
void SynthesizeFrame(RunContext& ctx, HostHandle water, float t);

}  // namespace rillmark::literal
