// Polyhedron geometry of the reference host: vertex transformation, world
// boxes (which give every node its location and size), the vertex layouts of
// created spheres and grids, and vertex selection.
#pragma once

#include <vector>

#include "hostapi/host_types.h"
#include "refhost/scene_graph.h"

namespace refhost::detail {

HostVec3 applyMatrix(const HostMatrix3x4& m, const HostVec3& p);

struct Box {
  HostVec3 min{0, 0, 0};
  HostVec3 max{0, 0, 0};
  bool empty = true;
};

// The node's world box at the current time. It covers the transformed
// vertices and the boxes of the members; a node with neither reports its
// settable location and size. With location keys the box keeps its extents
// and is moved so that its centre is the keyed location.
Box worldBox(const Node& node);
HostVec3 boxCentre(const Box& box);
HostVec3 boxExtents(const Box& box);

// Sphere and grid layouts, with their argument guards.
std::vector<HostVec3> sphereVertices(int longitude, int latitude, float radius);
std::vector<HostVec3> gridVertices(int nx, int ny, float width, float depth, float z);

// Vertex selection of one polyhedron; tsxPointsTranslate moves the
// selection of the polyhedron selected into last.
void selectVertices(Node& polyhedron, int count, const int* indices);
void translateSelection(const HostVec3& offset);
void deselectAll(Node& polyhedron);

}  // namespace refhost::detail
