#include "refhost/key_buffers.h"

#include <utility>

namespace refhost::detail {

std::vector<HostVec3> SpareKeyBuffers::copyOf(const std::vector<HostVec3>& vertices) {
  const auto spare = spares_.lower_bound(vertices.size());
  // A spare far bigger than the keys would hold memory the keys never use.
  if (spare == spares_.end() || vertices.empty() || spare->first > 2 * vertices.size()) return vertices;
  std::vector<HostVec3> buffer = std::move(spare->second);
  bytes_ -= spare->first * sizeof(HostVec3);
  spares_.erase(spare);
  buffer.assign(vertices.begin(), vertices.end());
  return buffer;
}

void SpareKeyBuffers::keep(std::vector<HostVec3>&& buffer) {
  const std::size_t capacity = buffer.capacity();
  if (!enabled_ || capacity == 0 || bytes_ + capacity * sizeof(HostVec3) > kMostSpareKeyBytes) return;
  bytes_ += capacity * sizeof(HostVec3);
  spares_.emplace(capacity, std::move(buffer));
}

}  // namespace refhost::detail
