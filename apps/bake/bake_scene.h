// What the bake program simulates, as read from a scene file or an OBJ
// sequence, before it is built in the host: the water's rest shape, the
// effectors and how they move, and the wind source.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "hostapi/host_types.h"

namespace bake {

struct LocationKey {
  float frame;
  HostVec3 location;
};

struct Box {
  HostVec3 min;
  HostVec3 max;
};

// The bounding box of the vertices; they must not be empty.
Box boundsOf(const std::vector<HostVec3>& vertices);

struct BakeEffector {
  enum class Shape {
    Sphere,  // of `radius`, centred on the origin
    Mesh,    // `vertices` as they are
    Boxes,   // a box per frame, from an OBJ sequence or a scene file
  };
  std::string name;
  Shape shape = Shape::Sphere;
  float radius = 0;
  std::vector<HostVec3> vertices;
  // Sphere and Mesh: moved by linear interpolation between the keys; held
  // at the first key before it and at the last one after it. No keys: the
  // shape stays where it is.
  std::vector<LocationKey> keys;
  // Boxes: frame -> the effector's bounding box in that frame.
  std::map<int, Box> boxes;
};

struct BakeWind {
  HostVec3 size{1, 1, 1};
  HostVec3 location{0, 0, 0};
  std::vector<LocationKey> keys;  // if any, they move it
  // If any: frame -> the source's bounding box in that frame, in place of
  // the size, location and keys.
  std::map<int, Box> boxes;
};

// An affine map applied to every vertex written out, computed in double:
// rows of [x, y, z, offset]. A 3D program that hands over its water in world
// space uses it to get the samples back in the water's own coordinates.
struct OutputTransform {
  std::array<std::array<double, 4>, 3> rows;

  HostVec3 apply(const HostVec3& v) const {
    const auto row = [&](const std::array<double, 4>& r) {
      return static_cast<float>(r[0] * v.x + r[1] * v.y + r[2] * v.z + r[3]);
    };
    return {row(rows[0]), row(rows[1]), row(rows[2])};
  }
};

struct WaterGrid {
  int sides = 0;     // vertices along x and along y
  float extent = 0;  // width and depth
  float height = 0;  // z of the rest shape
};

// Which axis points up in the files (up_axis.h).
enum class UpAxis { Y, Z };

struct BakeScene {
  // As the scene file says, if it does.
  std::optional<UpAxis> upAxis;
  std::string waterName = "Water";
  // Either a grid or a mesh with its faces (indices into its vertices).
  std::optional<WaterGrid> grid;
  std::vector<HostVec3> waterVertices;
  std::vector<std::vector<int>> waterFaces;

  std::vector<BakeEffector> effectors;
  std::optional<BakeWind> wind;
  std::optional<OutputTransform> outputTransform;

  int vertexCount() const {
    return grid ? grid->sides * grid->sides : static_cast<int>(waterVertices.size());
  }
};

}  // namespace bake
