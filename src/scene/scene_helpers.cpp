#include "scene/scene_helpers.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/error.h"
#include "hostapi/host_calls.h"

namespace rillmark {

namespace {

constexpr int kNameBufferSize = 255;

// Walks one sibling list and, depth first, the member lists of its
// containers. enterList runs before any node of a list is handled;
// handleNode returns true to end the current list there.
template <class EnterList, class HandleNode>
void walkSiblings(HostHandle first, EnterList& enterList, HandleNode& handleNode) {
  enterList();
  for (HostHandle node = first; host::tsxIsGNode(node) == 1; node = host::tsxGNodeGetNext(node)) {
    if (isContainerKind(objectKind(node))) walkSiblings(host::tsxGNodeGetFirstChild(node), enterList, handleNode);
    if (handleNode(node)) break;
  }
}

template <class HandleNode>
void walkScene(HandleNode handleNode) {
  auto noEnter = [] {};
  walkSiblings(host::tsxSceneGetFirstNode(), noEnter, handleNode);
}

}  // namespace

std::uint8_t objectKind(HostHandle object) { return static_cast<std::uint8_t>(host::tsxSobjGetType(object)); }

bool isContainerKind(std::uint8_t kind) { return kind == 107 || kind == 202 || kind == 206 || kind == 210; }

std::string ObjectName(HostHandle object) {
  if (host::tsxIsGNode(object) != 1) return "Unsupported Object";
  char buffer[kNameBufferSize] = {};
  int length = host::tsxGNodeGetName(object, buffer, kNameBufferSize);
  // The terminator must stay inside the buffer, so longer names are cut. A
  // length no name has (below 0) is treated alike: the name is what the
  // host wrote, up to its terminator.
  if (length < 0 || length > kNameBufferSize - 1) length = kNameBufferSize - 1;
  buffer[length] = '\0';
  return std::string(buffer, std::strlen(buffer));
}

void ListPolyhedra(HostHandle first, EffectorList& list) {
  auto noEnter = [] {};
  auto listNode = [&](HostHandle node) {
    if (objectKind(node) == kPolyhedronKind) list.add(ObjectName(node));
    return false;
  };
  walkSiblings(first, noEnter, listNode);
}

void MakeNamesUnique() {
  int level = 0;
  std::vector<std::string> seen;
  auto enterList = [&] { ++level; };
  auto renameNode = [&](HostHandle node) {
    if (objectKind(node) != kPolyhedronKind) return false;
    std::string name = ObjectName(node);
    const std::size_t k = seen.size();
    for (std::size_t i = 0; i < k; ++i) {
      if (seen[i] != name) continue;
      name += "," + std::to_string(level + static_cast<int>(i));
      host::tsxGNodeSetName(node, name.c_str());
    }
    seen.push_back(std::move(name));
    return false;
  };
  walkSiblings(host::tsxSceneGetFirstNode(), enterList, renameNode);
}

HostHandle FindObjectByName(const std::string& name) {
  HostHandle found = nullptr;
  walkScene([&](HostHandle node) {
    if (ObjectName(node) != name) return false;
    found = node;
    return true;
  });
  return found;
}

HostHandle copyObject(HostHandle object) {
  HostHandle copy = nullptr;
  host::tsxGNodeCopy(object, &copy);
  return copy;
}

void releaseCopy(HostHandle& copy) {
  if (copy != nullptr) host::tsxSobjDelete(copy);
  copy = nullptr;
}

void BakeVertexTransform(HostHandle object) {
  const HostHandle copy = copyObject(object);
  if (copy == nullptr) throw Error("The host could not copy the object '" + ObjectName(object) + "'");

  HostVec3* destination = host::tsxPolyhGetVxArray(object);
  const HostVec3* source = host::tsxPolyhGetVxArray(copy);
  const int count = host::tsxPolyhGetNbrVxs(copy);
  HostMatrix3x4 matrix = kIdentityMatrix;
  host::tsxPolyhGetVxTxmx(copy, &matrix);

  // The copy was just made from the object, so both arrays hold count vertices.
  if (destination && source) {
    for (int i = 0; i < count; ++i) host::tsxTransformVecs3f(1, &destination[i], &source[i], &matrix);
  }

  host::tsxPolyhSetVxTxmx(object, &kIdentityMatrix);
  host::tsxPolyhMarkGeomChange(object);
  host::tsxGNodeSetFrame(object, 3);
  host::tsxGNodeSetFrame(object, 2);
  host::tsxGNodeSetFrame(object, 4);
  // The copy served only as the unchanged source.
  host::tsxSobjDelete(copy);
}

}  // namespace rillmark
