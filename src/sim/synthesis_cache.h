// What the wave synthesis keeps from one pass to the next: the grid over
// the rest copy it was built for, the phase table, and the per-pass arrays
// in grid order. It is rebuilt when the rest copy (or its vertex count)
// changes, which is once per Start; the passes of a run allocate nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "hostapi/host_types.h"
#include "sim/rest_shape_grid.h"
#include "sim/wave_phase_table.h"

namespace rillmark {

struct SynthesisCache {
  // The rest copy the grid was built over.
  HostHandle restCopy = nullptr;
  const HostVec3* restVertices = nullptr;
  int vertexCount = -1;

  RestShapeGrid grid;
  PhaseTable phases;
  std::vector<float> heights;        // grid order, padded for the kernel
  std::vector<std::uint32_t> inside;  // per vertex: events whose wave reached it
};

}  // namespace rillmark
