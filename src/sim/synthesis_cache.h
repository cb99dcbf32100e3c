// What the wave synthesis keeps from one pass to the next: the grid over
// the rest copy it was built for, the phase table, and the per-pass arrays
// in grid order. It is rebuilt when the rest copy (or its vertex count)
// changes, which is once per Start; the passes of a run allocate nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "hostapi/host_types.h"
#include "sim/rest_shape_grid.h"
#include "sim/vertex_bands.h"
#include "sim/wave_kernel.h"
#include "sim/wave_phase_table.h"

namespace rillmark {

// One event's wave as the pass decided to add it: the kernel's terms,
// whether the table serves it, how far it reaches, and whether the
// vertices it reaches are counted (for the change marks).
struct PendingWave {
  EventWave term;
  double reach = 0.0;
  bool fast = false;
  bool countInside = false;
};

struct SynthesisCache {
  // The rest copy the grid was built over.
  HostHandle restCopy = nullptr;
  const HostVec3* restVertices = nullptr;
  int vertexCount = -1;

  RestShapeGrid grid;
  PhaseTable phases;
  std::vector<float> heights;        // grid order, padded for the kernel
  std::vector<std::uint32_t> inside;  // per vertex: events whose wave reached it
  // The counts in `inside` are wanted this pass: the host takes change
  // marks. Without them the pass neither counts nor clears.
  bool countReached = true;

  // Set by a program that lends threads to the pass; null in the plug-in.
  VertexBands* bands = nullptr;
  // A band's own copy of its heights and counts, padded for the kernel,
  // which reads and writes a little past a run's end: two bands never
  // share a vector's worth of memory.
  struct BandScratch {
    RestShapeGrid::Band band;
    std::vector<float> heights;
    std::vector<std::uint32_t> inside;
  };
  std::vector<BandScratch> bandScratch;
  std::size_t bandCount = 0;  // bands asked for when bandScratch was cut
  bool bandsFromRest = false;  // the bands start the pass on their next trip
  // Waves decided on but not yet added (the pass's event loop).
  std::vector<PendingWave> pendingWaves;
};

}  // namespace rillmark
