#include "up_axis.h"

#include <algorithm>
#include <cmath>

namespace bake {

std::optional<UpAxis> upAxisNamed(const std::string& name) {
  if (name == "y" || name == "Y") return UpAxis::Y;
  if (name == "z" || name == "Z") return UpAxis::Z;
  return std::nullopt;
}

void swapForUpAxis(UpAxis up, std::span<HostVec3> vertices) {
  if (up == UpAxis::Z) return;
  for (HostVec3& v : vertices) std::swap(v.y, v.z);
}

void sceneToHostAxes(UpAxis up, BakeScene& scene) {
  if (up == UpAxis::Z) return;
  swapForUpAxis(up, scene.waterVertices);
  for (BakeEffector& effector : scene.effectors) {
    swapForUpAxis(up, effector.vertices);
    for (LocationKey& key : effector.keys) key.location = swapForUpAxis(up, key.location);
    for (auto& [frame, box] : effector.boxes) box = {swapForUpAxis(up, box.min), swapForUpAxis(up, box.max)};
  }
  if (scene.wind) {
    scene.wind->size = swapForUpAxis(up, scene.wind->size);
    scene.wind->location = swapForUpAxis(up, scene.wind->location);
    for (LocationKey& key : scene.wind->keys) key.location = swapForUpAxis(up, key.location);
    for (auto& [frame, box] : scene.wind->boxes) box = {swapForUpAxis(up, box.min), swapForUpAxis(up, box.max)};
  }
}

std::optional<std::string> flatWaterWarning(UpAxis up, std::span<const HostVec3> rest) {
  if (rest.empty()) return std::nullopt;
  double low[3], high[3];
  for (int a = 0; a < 3; ++a) low[a] = high[a] = (&rest[0].x)[a];
  for (const HostVec3& v : rest) {
    for (int a = 0; a < 3; ++a) {
      low[a] = std::min<double>(low[a], (&v.x)[a]);
      high[a] = std::max<double>(high[a], (&v.x)[a]);
    }
  }
  const double extent[3] = {high[0] - low[0], high[1] - low[1], high[2] - low[2]};
  const double largest = std::max({extent[0], extent[1], extent[2]});
  const int upIndex = up == UpAxis::Y ? 1 : 2;
  // Flat: thinner than a thousandth of its width. A water that is flat
  // across the up axis, or across none, is as it should be.
  const double flat = largest * 1e-3;
  if (!(largest > 0) || extent[upIndex] <= flat) return std::nullopt;
  for (int a = 0; a < 3; ++a) {
    if (a == upIndex || extent[a] > flat) continue;
    const char axis = static_cast<char>('x' + a);
    const std::string inForce(1, static_cast<char>('x' + upIndex));
    std::string text = std::string("warning: the water lies flat across ") + axis + ", not across " + inForce +
                       ", the up axis in force; ";
    text += a == 0 ? "the heights move along " + inForce + " (--up-axis takes y or z)"
                   : std::string("if ") + axis + " is up in these files, give --up-axis " + axis;
    return text;
  }
  return std::nullopt;
}

}  // namespace bake
