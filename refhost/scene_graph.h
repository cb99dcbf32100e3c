// The reference host's scene: every live node in a registry keyed by its
// handle, the top sibling list, the members of each node, and the few
// host-wide values (selection, main view, version, time). All host functions
// and controls work on the one Scene returned by scene().
//
// Handles are opaque numbers, never addresses: a handle is only turned into a
// node by find(), which answers null for anything not live, so a stale or
// made-up handle can never reach freed memory. Ids only grow, even across
// reset(), so a handle is never reused.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "hostapi/host_types.h"
#include "refhost/key_buffers.h"
#include "refhost/refhost.h"

namespace refhost::detail {

// Everything a node's script tree holds. Deleting the tree drops all of it;
// copyAnimation copies each field.
struct Animation {
  bool hasScriptTree = true;
  std::set<int> attributes;
  std::map<float, HostVec3> locationKeys;                 // frame -> location
  std::map<int, std::vector<HostVec3>> vertexKeys;        // frame -> vertex array
  std::map<int, bool> visibilityKeys;                     // frame -> visible
};

struct Node {
  std::uintptr_t id = 0;
  int kind = 0;
  std::string name;
  Node* parent = nullptr;   // the node whose member list holds this one
  bool inTopList = false;
  std::vector<Node*> members;

  // Geometry. Only polyhedra have it; the vertex buffer is never resized
  // while the node lives, so the pointer handed out stays valid until the
  // buffer is moved whole (swapVertices, a key with vertexArraysMoveOnKey).
  bool hasGeometry = false;
  std::vector<HostVec3> vertices;
  HostMatrix3x4 transform = kIdentityMatrix;
  std::vector<int> selectedVertices;  // sorted, unique

  // What a node without geometry or members reports as its box.
  HostVec3 location{0, 0, 0};
  HostVec3 size{0, 0, 0};

  bool visible = true;
  int drawingMode = 0;
  int addMode = -1;  // the mode of the last tsxSceneAddObject, -1 if never added
  long long vertexChangeMarks = 0;  // calls, however often a vertex repeats
  // The vertices marked as changed, one flag each, as a host keeps them:
  // marking is a store, however many times a vertex is marked. Sized to
  // the vertex buffer on the first mark.
  std::vector<std::uint8_t> vertexMarks;
  long long geomChangeMarks = 0;
  std::vector<int> frameCodes;  // tsxGNodeSetFrame codes, in call order

  Animation animation;
};

struct Scene {
  std::unordered_map<std::uintptr_t, std::unique_ptr<Node>> nodes;
  std::vector<Node*> topList;
  Node* selection = nullptr;
  Node* vertexSelectionOwner = nullptr;  // polyhedron tsxPointsTranslate moves
  void* mainView = nullptr;
  short versionMajor = 430;
  short versionMinor = 0;
  float currentTime = 0.0f;
  int playMode = 0;
  // When each tsxAnimSetActiveTime came, while timing is on: a frame loop
  // sets the time once a frame, so benchmarks read frame times from it.
  bool timingFrames = false;
  std::vector<FrameTiming> frameTimings;
  long long drawCount = 0;
  CopyAnswer copyAnswer = CopyAnswer::Plain;
  OpenAnswers openAnswers;
  SpareKeyBuffers spareKeyBuffers;  // dropped vertex keys, for the next keys
  Faults faults;
  // The selection's handle after its node was deleted, while
  // faults.staleSelection holds.
  HostHandle deadSelection = nullptr;
};

Scene& scene();

HostHandle handleOf(const Node* node);

// The node find() answered last: the plug-in asks about one polyhedron for
// every vertex it marks, so find() checks it inline before the map.
struct LastFound {
  std::uintptr_t id = 0;
  Node* node = nullptr;
};
extern LastFound gLastFound;
Node* findInScene(HostHandle handle);  // the map lookup behind find()

inline Node* find(HostHandle handle) {  // null unless live
  const auto id = reinterpret_cast<std::uintptr_t>(handle);
  if (id != 0 && id == gLastFound.id) return gLastFound.node;
  return findInScene(handle);
}

// A new node outside every sibling list.
Node& createNode(std::string name, int kind);
// Appends a node that is in no list to the member list of parent, or to the
// top list when parent is null. False if the node is already in a list.
bool attach(Node& node, Node* parent);
// The sibling list that holds the node, or null for a node outside the scene
// graph (a fresh copy or sphere).
std::vector<Node*>* listOf(const Node& node);
// True if the node is in the top list or, through its parents, below it.
bool inScene(const Node& node);
// Removes the node from its list and ends it and all its members.
void destroy(Node& node);
// A deep copy outside every list (see the definition for what is copied).
Node& deepCopy(const Node& source);
// Ends every node and restores the host-wide defaults.
void resetScene();

}  // namespace refhost::detail
