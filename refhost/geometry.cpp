#include "refhost/geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "refhost/animation.h"

namespace refhost::detail {

namespace {

// Limits that keep a silly argument from allocating gigabytes: a sphere of
// 512 x 512 or a grid of 2048 x 2048 is far beyond any scene the plug-in
// sees, and still only a few tens of megabytes.
constexpr int kMaxSphereDivisions = 512;
constexpr int kMaxGridSide = 2048;

void grow(Box& box, const HostVec3& p) {
  if (box.empty) {
    box.min = box.max = p;
    box.empty = false;
    return;
  }
  box.min = {std::min(box.min.x, p.x), std::min(box.min.y, p.y), std::min(box.min.z, p.z)};
  box.max = {std::max(box.max.x, p.x), std::max(box.max.y, p.y), std::max(box.max.z, p.z)};
}

void grow(Box& box, const Box& other) {
  if (other.empty) return;
  grow(box, other.min);
  grow(box, other.max);
}

float finiteOr(float value, float fallback) { return std::isfinite(value) ? value : fallback; }

}  // namespace

HostVec3 applyMatrix(const HostMatrix3x4& m, const HostVec3& p) {
  const float* r = m.m;
  return {r[0] * p.x + r[1] * p.y + r[2] * p.z + r[3],
          r[4] * p.x + r[5] * p.y + r[6] * p.z + r[7],
          r[8] * p.x + r[9] * p.y + r[10] * p.z + r[11]};
}

HostVec3 boxCentre(const Box& box) {
  if (box.empty) return {0, 0, 0};
  return {0.5f * (box.min.x + box.max.x), 0.5f * (box.min.y + box.max.y),
          0.5f * (box.min.z + box.max.z)};
}

HostVec3 boxExtents(const Box& box) {
  if (box.empty) return {0, 0, 0};
  return {box.max.x - box.min.x, box.max.y - box.min.y, box.max.z - box.min.z};
}

Box worldBox(const Node& node) {
  Box box;
  if (node.hasGeometry) {
    for (const HostVec3& v : node.vertices) grow(box, applyMatrix(node.transform, v));
  }
  for (const Node* member : node.members) grow(box, worldBox(*member));
  if (box.empty && !node.hasGeometry && node.members.empty()) {
    const HostVec3 half{0.5f * node.size.x, 0.5f * node.size.y, 0.5f * node.size.z};
    box.min = {node.location.x - half.x, node.location.y - half.y, node.location.z - half.z};
    box.max = {node.location.x + half.x, node.location.y + half.y, node.location.z + half.z};
    box.empty = false;
  }
  if (const std::optional<HostVec3> keyed = keyedLocation(node, scene().currentTime)) {
    const HostVec3 half = boxExtents(box);
    box.min = {keyed->x - 0.5f * half.x, keyed->y - 0.5f * half.y, keyed->z - 0.5f * half.z};
    box.max = {keyed->x + 0.5f * half.x, keyed->y + 0.5f * half.y, keyed->z + 0.5f * half.z};
    box.empty = false;
  }
  return box;
}

// Vertex 0 is the pole at +z, vertex 1 the pole at -z, then latitude - 1
// rings of longitude vertices from +z down to -z. Ring k (1-based) lies at
// the polar angle pi k / latitude; vertex j of a ring at the azimuth
// 2 pi j / longitude from +x towards +y. For 12 x 6 that is 62 vertices with
// rings 2-13, 14-25, 26-37, 38-49 and 50-61.
std::vector<HostVec3> sphereVertices(int longitude, int latitude, float radius) {
  longitude = std::clamp(longitude, 3, kMaxSphereDivisions);
  latitude = std::clamp(latitude, 2, kMaxSphereDivisions);
  const double r = finiteOr(radius, 1.0f);
  std::vector<HostVec3> vertices;
  vertices.reserve(2 + static_cast<std::size_t>(longitude) * (latitude - 1));
  vertices.push_back({0, 0, static_cast<float>(r)});
  vertices.push_back({0, 0, static_cast<float>(-r)});
  for (int k = 1; k < latitude; ++k) {
    const double polar = std::numbers::pi * k / latitude;
    const double z = r * std::cos(polar);
    const double ringRadius = r * std::sin(polar);
    for (int j = 0; j < longitude; ++j) {
      const double azimuth = 2.0 * std::numbers::pi * j / longitude;
      vertices.push_back({static_cast<float>(ringRadius * std::cos(azimuth)),
                          static_cast<float>(ringRadius * std::sin(azimuth)),
                          static_cast<float>(z)});
    }
  }
  return vertices;
}

// nx columns along x over the width, ny rows along y over the depth, centred
// at the origin at height z. Vertex index = row * nx + column, rows from -y
// to +y, columns from -x to +x. A side of one vertex sits on the axis.
std::vector<HostVec3> gridVertices(int nx, int ny, float width, float depth, float z) {
  nx = std::clamp(nx, 1, kMaxGridSide);
  ny = std::clamp(ny, 1, kMaxGridSide);
  const double w = finiteOr(width, 0.0f);
  const double d = finiteOr(depth, 0.0f);
  const float height = finiteOr(z, 0.0f);
  std::vector<HostVec3> vertices;
  vertices.reserve(static_cast<std::size_t>(nx) * ny);
  for (int row = 0; row < ny; ++row) {
    const double y = ny == 1 ? 0.0 : -0.5 * d + d * row / (ny - 1);
    for (int column = 0; column < nx; ++column) {
      const double x = nx == 1 ? 0.0 : -0.5 * w + w * column / (nx - 1);
      vertices.push_back({static_cast<float>(x), static_cast<float>(y), height});
    }
  }
  return vertices;
}

void selectVertices(Node& polyhedron, int count, const int* indices) {
  Scene& s = scene();
  if (s.vertexSelectionOwner && s.vertexSelectionOwner != &polyhedron) {
    s.vertexSelectionOwner->selectedVertices.clear();
  }
  s.vertexSelectionOwner = &polyhedron;
  if (!indices || count <= 0) return;
  const int size = static_cast<int>(polyhedron.vertices.size());
  std::vector<int>& selected = polyhedron.selectedVertices;
  for (int i = 0; i < count; ++i) {
    if (indices[i] >= 0 && indices[i] < size) selected.push_back(indices[i]);
  }
  std::sort(selected.begin(), selected.end());
  selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
}

// The offset is applied to the stored vertex coordinates, the same space
// that tsxPolyhGetVxArray exposes.
void translateSelection(const HostVec3& offset) {
  Node* owner = scene().vertexSelectionOwner;
  if (!owner) return;
  for (int index : owner->selectedVertices) {
    HostVec3& v = owner->vertices[static_cast<std::size_t>(index)];
    v.x += offset.x;
    v.y += offset.y;
    v.z += offset.z;
  }
}

void deselectAll(Node& polyhedron) {
  polyhedron.selectedVertices.clear();
  if (scene().vertexSelectionOwner == &polyhedron) scene().vertexSelectionOwner = nullptr;
}

}  // namespace refhost::detail
