// The C++ control and read-back functions of refhost.h.
#include <cmath>

#include "refhost/call_note.h"
#include "refhost/geometry.h"
#include "refhost/refhost.h"
#include "refhost/scene_graph.h"

namespace refhost {

using detail::find;
using detail::handleOf;
using detail::Node;
using detail::scene;

namespace {

// Creates a node and puts it into the parent's list, or the top list.
Node* place(std::string_view name, int kind, HostHandle parent) {
  Node* parentNode = nullptr;
  if (parent) {
    parentNode = find(parent);
    if (!parentNode) return nullptr;
  }
  Node& node = detail::createNode(std::string(name), kind);
  detail::attach(node, parentNode);
  return &node;
}

Node* polyhedron(HostHandle handle) {
  Node* n = find(handle);
  return n && n->hasGeometry ? n : nullptr;
}

}  // namespace

void reset() {
  detail::resetScene();
  detail::resetCallRecord();
  clearHiddenExports();
}

HostHandle addGroup(std::string_view name, int kind, HostHandle parent) {
  return handleOf(place(name, kind, parent));
}

HostHandle addPolyhedron(std::string_view name, std::span<const HostVec3> vertices, HostHandle parent, int kind) {
  Node* n = place(name, kind, parent);
  if (!n) return nullptr;
  n->hasGeometry = true;
  n->vertices.assign(vertices.begin(), vertices.end());
  return handleOf(n);
}

HostHandle addGrid(std::string_view name, int nx, int ny, float width, float depth, float z, HostHandle parent) {
  const std::vector<HostVec3> grid = detail::gridVertices(nx, ny, width, depth, z);
  return addPolyhedron(name, grid, parent);
}

HostHandle addObject(std::string_view name, int kind, HostHandle parent) {
  return handleOf(place(name, kind, parent));
}

bool setName(HostHandle node, std::string_view name) {
  Node* n = find(node);
  if (n) n->name = std::string(name);
  return n != nullptr;
}

bool swapVertices(HostHandle handle, std::vector<HostVec3>& vertices) {
  Node* n = polyhedron(handle);
  if (!n || n->vertices.size() != vertices.size()) return false;
  n->vertices.swap(vertices);
  return true;
}

bool setVertexTransform(HostHandle handle, const HostMatrix3x4& matrix) {
  Node* n = polyhedron(handle);
  if (n) n->transform = matrix;
  return n != nullptr;
}

bool setLocation(HostHandle node, HostVec3 value) {
  Node* n = find(node);
  if (n) n->location = value;
  return n != nullptr;
}

bool setSize(HostHandle node, HostVec3 value) {
  Node* n = find(node);
  if (n) n->size = value;
  return n != nullptr;
}

bool addLocationKey(HostHandle node, float frame, HostVec3 value) {
  Node* n = find(node);
  if (!n || !std::isfinite(frame)) return false;
  n->animation.locationKeys[frame] = value;
  return true;
}

void select(HostHandle node) {
  scene().selection = find(node);
  scene().deadSelection = nullptr;
}
void setMainView(void* view) { scene().mainView = view; }

void setVersion(short major, short minor) {
  scene().versionMajor = major;
  scene().versionMinor = minor;
}

void setCurrentTime(float frame) {
  if (std::isfinite(frame)) scene().currentTime = frame;
}

void setCopyAnswer(CopyAnswer answer) { scene().copyAnswer = answer; }

void setOpenAnswers(const OpenAnswers& answers) { scene().openAnswers = answers; }
const OpenAnswers& openAnswers() { return scene().openAnswers; }

void setFaults(const Faults& faults) { scene().faults = faults; }
const Faults& faults() { return scene().faults; }

bool isLive(HostHandle node) { return find(node) != nullptr; }

bool inScene(HostHandle node) {
  const Node* n = find(node);
  return n && detail::inScene(*n);
}

std::vector<HostHandle> topNodes() {
  std::vector<HostHandle> result;
  for (const Node* n : scene().topList) result.push_back(handleOf(n));
  return result;
}

std::vector<HostHandle> members(HostHandle node) {
  std::vector<HostHandle> result;
  if (const Node* n = find(node)) {
    for (const Node* m : n->members) result.push_back(handleOf(m));
  }
  return result;
}

std::string name(HostHandle node) {
  const Node* n = find(node);
  return n ? n->name : std::string();
}

int kind(HostHandle node) {
  const Node* n = find(node);
  return n ? n->kind : 0;
}

int liveNodeCount() { return static_cast<int>(scene().nodes.size()); }
HostHandle selection() { return handleOf(scene().selection); }
void* mainView() { return scene().mainView; }

std::vector<HostVec3> vertices(HostHandle handle) {
  const Node* n = polyhedron(handle);
  return n ? n->vertices : std::vector<HostVec3>{};
}

HostMatrix3x4 vertexTransform(HostHandle handle) {
  const Node* n = polyhedron(handle);
  return n ? n->transform : kIdentityMatrix;
}

HostVec3 location(HostHandle node) {
  const Node* n = find(node);
  return n ? detail::boxCentre(detail::worldBox(*n)) : HostVec3{0, 0, 0};
}

HostVec3 size(HostHandle node) {
  const Node* n = find(node);
  return n ? detail::boxExtents(detail::worldBox(*n)) : HostVec3{0, 0, 0};
}

std::vector<int> selectedVertices(HostHandle handle) {
  const Node* n = polyhedron(handle);
  return n ? n->selectedVertices : std::vector<int>{};
}

std::map<int, std::vector<HostVec3>> vertexKeys(HostHandle handle) {
  const Node* n = find(handle);
  return n ? n->animation.vertexKeys : std::map<int, std::vector<HostVec3>>{};
}

std::map<int, bool> visibilityKeys(HostHandle node) {
  const Node* n = find(node);
  return n ? n->animation.visibilityKeys : std::map<int, bool>{};
}

std::map<float, HostVec3> locationKeys(HostHandle node) {
  const Node* n = find(node);
  return n ? n->animation.locationKeys : std::map<float, HostVec3>{};
}

bool visible(HostHandle node) {
  const Node* n = find(node);
  return n && n->visible;
}

int drawingMode(HostHandle node) {
  const Node* n = find(node);
  return n ? n->drawingMode : 0;
}

int addMode(HostHandle node) {
  const Node* n = find(node);
  return n ? n->addMode : -1;
}

bool hasScriptTree(HostHandle node) {
  const Node* n = find(node);
  return n && n->animation.hasScriptTree;
}

std::set<int> attributes(HostHandle node) {
  const Node* n = find(node);
  return n ? n->animation.attributes : std::set<int>{};
}

std::vector<int> frameCodes(HostHandle node) {
  const Node* n = find(node);
  return n ? n->frameCodes : std::vector<int>{};
}

long long vertexChangeMarks(HostHandle handle) {
  const Node* n = polyhedron(handle);
  return n ? n->vertexChangeMarks : 0;
}

std::vector<int> markedVertices(HostHandle handle) {
  std::vector<int> marked;
  if (const Node* n = polyhedron(handle)) {
    for (std::size_t i = 0; i < n->vertexMarks.size(); ++i) {
      if (n->vertexMarks[i]) marked.push_back(static_cast<int>(i));
    }
  }
  return marked;
}

void clearVertexMarks(HostHandle handle) {
  if (Node* n = polyhedron(handle)) n->vertexMarks.assign(n->vertexMarks.size(), 0);
}

long long geomChangeMarks(HostHandle handle) {
  const Node* n = polyhedron(handle);
  return n ? n->geomChangeMarks : 0;
}

long long drawCount() { return scene().drawCount; }
int playMode() { return scene().playMode; }
float currentTime() { return scene().currentTime; }

void reuseKeyBuffers(bool on) { detail::scene().spareKeyBuffers.setEnabled(on); }

void timeFrames(bool on) {
  scene().timingFrames = on;
  if (on) scene().frameTimings.clear();
}

std::vector<FrameTiming> frameTimings() { return scene().frameTimings; }

}  // namespace refhost
