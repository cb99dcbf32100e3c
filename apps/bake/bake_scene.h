// What the bake program simulates, as read from a scene file or an OBJ
// sequence, before it is built in the host: the water's rest shape, the
// effectors and how they move, and the wind source.
#pragma once

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
    Boxes,   // a box per frame, from an OBJ sequence
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

  int vertexCount() const {
    return grid ? grid->sides * grid->sides : static_cast<int>(waterVertices.size());
  }
};

}  // namespace bake
