// Vertex-key buffers the host keeps for reuse. A plug-in run keys the whole
// water every frame and the next run drops those keys (deleting the keyed
// water or its script tree) and keys again, so the host hands the buffers
// of the last keys dropped to the next keys instead of returning them to
// the system: keying a frame is then one copy into memory already
// touched. Without it every run pays a fresh page for each 4 KiB keyed,
// which on some machines (virtual ones above all) costs more than the run.
//
// Off unless switched on: the store lifts the heap's high-water mark by a
// run's keys, which a memory measurement would charge to the plug-in.
// Benchmarks switch it on, since they measure the plug-in's run and not
// the machine's page faults.
#pragma once

#include <cstddef>
#include <map>
#include <vector>

#include "hostapi/host_types.h"

namespace refhost::detail {

class SpareKeyBuffers {
 public:
  // Switching off frees every spare buffer.
  void setEnabled(bool on) {
    enabled_ = on;
    if (!on) clear();
  }
  bool enabled() const { return enabled_; }
  // A buffer holding a copy of vertices, reusing the smallest spare buffer
  // big enough for them unless it is over twice their size.
  std::vector<HostVec3> copyOf(const std::vector<HostVec3>& vertices);
  // Keeps the buffer for later keys while switched on and the spares stay
  // under the bound; frees it otherwise.
  void keep(std::vector<HostVec3>&& buffer);
  // Frees every spare buffer.
  void clear() {
    spares_.clear();
    bytes_ = 0;
  }
  std::size_t bytes() const { return bytes_; }
  std::size_t count() const { return spares_.size(); }

 private:
  std::multimap<std::size_t, std::vector<HostVec3>> spares_;  // by capacity
  std::size_t bytes_ = 0;
  bool enabled_ = false;
};

// At most this much memory waits in spare buffers: a whole run's keys of a
// large water on a 64-bit host, less where the address space is 2 GB.
inline constexpr std::size_t kMostSpareKeyBytes = std::size_t{sizeof(void*) >= 8 ? 2048u : 256u} << 20;

}  // namespace refhost::detail
