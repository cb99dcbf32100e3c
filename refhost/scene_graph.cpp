#include "refhost/scene_graph.h"

#include <algorithm>

#include "refhost/animation.h"

namespace refhost::detail {

namespace {

// Ids start well above zero and step by 16 so that a handle never looks
// like null or a small integer, and survive reset() so none is reused.
std::uintptr_t gNextId = 0x10000;
constexpr std::uintptr_t kIdStep = 0x10;

void forget(Node& node) {
  Scene& s = scene();
  if (s.selection == &node) {
    if (s.faults.staleSelection) s.deadSelection = handleOf(&node);
    s.selection = nullptr;
  }
  if (s.vertexSelectionOwner == &node) s.vertexSelectionOwner = nullptr;
  if (gLastFound.node == &node) gLastFound = {};
}

void destroyDetached(Node& node) {
  for (Node* member : node.members) {
    member->parent = nullptr;
    destroyDetached(*member);
  }
  node.members.clear();
  forget(node);
  dropKeys(node);
  scene().nodes.erase(node.id);
}

}  // namespace

Scene& scene() {
  static Scene s;
  return s;
}

HostHandle handleOf(const Node* node) {
  return node ? reinterpret_cast<HostHandle>(node->id) : nullptr;
}

LastFound gLastFound;

Node* findInScene(HostHandle handle) {
  const auto id = reinterpret_cast<std::uintptr_t>(handle);
  if (id == 0) return nullptr;
  Scene& s = scene();
  const auto it = s.nodes.find(id);
  if (it == s.nodes.end()) return nullptr;
  gLastFound = {id, it->second.get()};
  return gLastFound.node;
}

Node& createNode(std::string name, int kind) {
  auto node = std::make_unique<Node>();
  node->id = gNextId;
  gNextId += kIdStep;
  node->name = std::move(name);
  node->kind = kind;
  Node& ref = *node;
  scene().nodes.emplace(ref.id, std::move(node));
  return ref;
}

std::vector<Node*>* listOf(const Node& node) {
  if (node.parent) return &node.parent->members;
  if (node.inTopList) return &scene().topList;
  return nullptr;
}

bool attach(Node& node, Node* parent) {
  if (listOf(node)) return false;
  // A node may not become a member of itself or of one of its own members.
  for (Node* p = parent; p; p = p->parent) {
    if (p == &node) return false;
  }
  if (parent) {
    node.parent = parent;
    parent->members.push_back(&node);
  } else {
    node.inTopList = true;
    scene().topList.push_back(&node);
  }
  return true;
}

bool inScene(const Node& node) {
  const Node* n = &node;
  while (n->parent) n = n->parent;
  return n->inTopList;
}

void destroy(Node& node) {
  if (std::vector<Node*>* list = listOf(node)) {
    list->erase(std::remove(list->begin(), list->end(), &node), list->end());
  }
  node.parent = nullptr;
  node.inTopList = false;
  destroyDetached(node);
}

// A copy takes everything that describes the object: kind, name, geometry,
// vertex transformation, box of a node without geometry, visibility,
// drawing mode and the whole script tree (keys and attributes), as a host
// copy does; members are copied deeply. It does not take list membership,
// the vertex selection, change marks, frame codes or the add mode.
Node& deepCopy(const Node& source) {
  Node& copy = createNode(source.name, source.kind);
  copy.hasGeometry = source.hasGeometry;
  copy.vertices = source.vertices;
  copy.transform = source.transform;
  copy.location = source.location;
  copy.size = source.size;
  copy.visible = source.visible;
  copy.drawingMode = source.drawingMode;
  copy.animation = copyAnimation(source.animation);
  for (const Node* member : source.members) {
    Node& memberCopy = deepCopy(*member);
    attach(memberCopy, &copy);
  }
  return copy;
}

void resetScene() {
  Scene& s = scene();
  s.nodes.clear();
  s = Scene{};
  gLastFound = {};
}

}  // namespace refhost::detail
