// The synthesis pass written the plain way: every live event visits every
// vertex in order, each vertex-event pair marks the vertex where the pass
// marks it (one host call each), and cos and exp come from the C library. Kept as the baseline that the benchmarks compare the
// production pass with, and as the reference of the accuracy tests.
#pragma once

#include "hostapi/host_types.h"
#include "sim/frame_context.h"

namespace rillmark::literal {

// Same contract as rillmark::SynthesizeFrame.
void SynthesizeFrame(FrameContext& ctx, HostHandle water, float t);

}  // namespace rillmark::literal
