#include "refhost/animation.h"

#include <cmath>
#include <limits>
#include <utility>

namespace refhost::detail {

std::optional<HostVec3> keyedLocation(const Node& node, float time) {
  const auto& keys = node.animation.locationKeys;
  if (keys.empty()) return std::nullopt;
  const auto after = keys.upper_bound(time);
  if (after == keys.begin()) return after->second;
  const auto before = std::prev(after);
  if (after == keys.end()) return before->second;
  const float t = (time - before->first) / (after->first - before->first);
  const HostVec3& a = before->second;
  const HostVec3& b = after->second;
  return HostVec3{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)};
}

int currentKeyFrame() {
  const double t = std::round(static_cast<double>(scene().currentTime));
  constexpr double lo = std::numeric_limits<int>::min();
  constexpr double hi = std::numeric_limits<int>::max();
  if (!(t >= lo)) return std::isnan(t) ? 0 : std::numeric_limits<int>::min();
  if (t > hi) return std::numeric_limits<int>::max();
  return static_cast<int>(t);
}

void setFrame(Node& node, int code) {
  Animation& a = node.animation;
  if (!a.hasScriptTree) return;
  if (code == kVertexKeyCode) {
    if (node.hasGeometry && a.attributes.count(kVertexKeyCode)) {
      const auto [key, added] = a.vertexKeys.try_emplace(currentKeyFrame());
      if (added)
        key->second = scene().spareKeyBuffers.copyOf(node.vertices);
      else
        key->second = node.vertices;
    }
  } else if (code == kVisibilityKeyCode) {
    a.visibilityKeys[currentKeyFrame()] = node.visible;
  }
}

void addAttribute(Node& node, int code) {
  if (node.animation.hasScriptTree) node.animation.attributes.insert(code);
}

Animation copyAnimation(const Animation& source) {
  Animation copy;
  copy.hasScriptTree = source.hasScriptTree;
  copy.attributes = source.attributes;
  copy.locationKeys = source.locationKeys;
  copy.visibilityKeys = source.visibilityKeys;
  for (const auto& [frame, vertices] : source.vertexKeys)
    copy.vertexKeys.emplace(frame, scene().spareKeyBuffers.copyOf(vertices));
  return copy;
}

void dropKeys(Node& node) {
  if (node.animation.vertexKeys.empty()) return;
  // Only the last keyed tree's buffers wait: kept any longer, buffers no
  // key takes would hold memory the rest of the host could have reused.
  SpareKeyBuffers& spares = scene().spareKeyBuffers;
  spares.clear();
  for (auto& [frame, vertices] : node.animation.vertexKeys) spares.keep(std::move(vertices));
  node.animation.vertexKeys.clear();
}

void deleteScriptTree(Node& node) {
  dropKeys(node);
  node.animation = Animation{};
  node.animation.hasScriptTree = false;
}

void createScriptTree(Node& node) {
  dropKeys(node);
  node.animation = Animation{};
}

}  // namespace refhost::detail
