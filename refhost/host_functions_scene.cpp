// Host functions for the scene graph: walking, names, selection, copies,
// creation and deletion, visibility and drawing.
#include <algorithm>
#include <cstring>

#include "refhost/call_note.h"
#include "refhost/geometry.h"
#include "refhost/host_exports.h"
#include "refhost/scene_graph.h"
#include "refhost/shield.h"

using refhost::detail::CallNote;
using refhost::detail::FunctionId;
using refhost::detail::find;
using refhost::detail::handleOf;
using refhost::detail::Node;
using refhost::detail::scene;
using refhost::detail::shield;

namespace {

// Longest name tsxGNodeSetName takes; a longer text (or one without a
// terminator) is cut here rather than read without end.
constexpr std::size_t kMaxNameBytes = 65536;

}  // namespace

extern "C" {

void tsxGetTsVersionNbrs(short* major, short* minor) {
  shield([&] {
    CallNote note(FunctionId::tsxGetTsVersionNbrs);
    if (major) *major = scene().versionMajor;
    if (minor) *minor = scene().versionMinor;
  });
}

void* tsxGetMainViewHwnd() {
  return shield<void*>(nullptr, [&] {
    CallNote note(FunctionId::tsxGetMainViewHwnd);
    return scene().mainView;
  });
}

HostHandle tsxSceneGetFirstNode() {
  return shield<HostHandle>(nullptr, [&] {
    CallNote note(FunctionId::tsxSceneGetFirstNode);
    const auto& top = scene().topList;
    return top.empty() ? nullptr : handleOf(top.front());
  });
}

HostHandle tsxGNodeGetFirstChild(HostHandle node) {
  return shield<HostHandle>(nullptr, [&] {
    CallNote note(FunctionId::tsxGNodeGetFirstChild, node);
    const Node* n = find(node);
    return n && !n->members.empty() ? handleOf(n->members.front()) : nullptr;
  });
}

HostHandle tsxGNodeGetNext(HostHandle node) {
  return shield<HostHandle>(nullptr, [&] {
    CallNote note(FunctionId::tsxGNodeGetNext, node);
    const Node* n = find(node);
    if (!n) return HostHandle{nullptr};
    const std::vector<Node*>* list = refhost::detail::listOf(*n);
    if (!list) return HostHandle{nullptr};
    for (std::size_t i = 0; i + 1 < list->size(); ++i) {
      if ((*list)[i] == n) return handleOf((*list)[i + 1]);
    }
    return HostHandle{nullptr};
  });
}

int tsxIsGNode(HostHandle node) {
  return shield(0, [&] {
    CallNote note(FunctionId::tsxIsGNode, node);
    return find(node) ? 1 : 0;
  });
}

int tsxIsSobj(HostHandle object) {
  return shield(0, [&] {
    CallNote note(FunctionId::tsxIsSobj, object);
    const Node* n = find(object);
    if (n && scene().openAnswers.sobjOnlyInScene) return refhost::detail::inScene(*n) ? 1 : 0;
    return n ? 1 : 0;
  });
}

int tsxSobjGetType(HostHandle object) {
  return shield(0, [&] {
    CallNote note(FunctionId::tsxSobjGetType, object);
    const Node* n = find(object);
    return n ? n->kind : 0;
  });
}

// Copies at most max - 1 bytes and a terminator, and returns the full length
// of the name, which may be max or more: the caller must cope. The faults
// unterminatedNames and nameLength make it worse.
int tsxGNodeGetName(HostHandle node, char* buffer, int max) {
  return shield(0, [&] {
    CallNote note(FunctionId::tsxGNodeGetName, node);
    note.number(max);
    const Node* n = find(node);
    const std::string empty;
    const std::string& name = n ? n->name : empty;
    const refhost::Faults& faults = scene().faults;
    if (buffer && max > 0) {
      const auto room = static_cast<std::size_t>(max);
      if (faults.unterminatedNames) {
        std::memcpy(buffer, name.data(), std::min(name.size(), room));
      } else {
        const std::size_t copied = std::min(name.size(), room - 1);
        std::memcpy(buffer, name.data(), copied);
        buffer[copied] = '\0';
      }
    }
    return faults.nameLength.value_or(static_cast<int>(name.size()));
  });
}

void tsxGNodeSetName(HostHandle node, const char* name) {
  shield([&] {
    CallNote note(FunctionId::tsxGNodeSetName, node);
    if (!name) return;
    const std::size_t length = strnlen(name, kMaxNameBytes);
    note.text(name, length);
    if (Node* n = find(node)) n->name.assign(name, length);
  });
}

HostHandle tsxGetCurrentSelection() {
  return shield<HostHandle>(nullptr, [&] {
    CallNote note(FunctionId::tsxGetCurrentSelection);
    return scene().selection ? handleOf(scene().selection) : scene().deadSelection;
  });
}

// Selecting an unknown handle leaves the selection as it was.
void tsxSelectSobj(HostHandle object, int a, int b) {
  shield([&] {
    CallNote note(FunctionId::tsxSelectSobj, object);
    note.number(a).number(b);
    if (Node* n = find(object)) {
      scene().selection = n;
      scene().deadSelection = nullptr;
    }
  });
}

int tsxGNodeCopy(HostHandle node, HostHandle* copy) {
  return shield(0, [&] {
    CallNote note(FunctionId::tsxGNodeCopy, node);
    if (copy) *copy = nullptr;
    const refhost::CopyAnswer answer = scene().copyAnswer;
    if (answer == refhost::CopyAnswer::NonzeroWithoutCopy) return 1;
    const Node* n = find(node);
    if (!n || !copy) return 0;
    *copy = handleOf(&refhost::detail::deepCopy(*n));
    return answer == refhost::CopyAnswer::ZeroWithCopy ? 0 : 1;
  });
}

// Appends an object that is in no list (a copy or a new sphere) to the end
// of the top list. An object already in a list is left where it is.
int tsxSceneAddObject(HostHandle object, int mode) {
  return shield(0, [&] {
    CallNote note(FunctionId::tsxSceneAddObject, object);
    note.number(mode);
    Node* n = find(object);
    if (!n || !refhost::detail::attach(*n, nullptr)) return 0;
    n->addMode = mode;
    return 1;
  });
}

void tsxSobjDelete(HostHandle object) {
  shield([&] {
    CallNote note(FunctionId::tsxSobjDelete, object);
    if (Node* n = find(object)) refhost::detail::destroy(*n);
  });
}

HostHandle tsxCreateSphere(int longitude, int latitude, float radius) {
  return shield<HostHandle>(nullptr, [&] {
    CallNote note(FunctionId::tsxCreateSphere);
    note.number(longitude).number(latitude).number(radius);
    std::vector<HostVec3> vertices = refhost::detail::sphereVertices(longitude, latitude, radius);
    Node& sphere = refhost::detail::createNode("Sphere", 201);
    sphere.hasGeometry = true;
    sphere.vertices = std::move(vertices);
    return handleOf(&sphere);
  });
}

void tsxMNodeSetVisible(HostHandle node) {
  shield([&] {
    CallNote note(FunctionId::tsxMNodeSetVisible, node);
    if (Node* n = find(node)) n->visible = true;
  });
}

void tsxMNodeSetInvisible(HostHandle node) {
  shield([&] {
    CallNote note(FunctionId::tsxMNodeSetInvisible, node);
    if (Node* n = find(node)) n->visible = false;
  });
}

void tsxSceneDraw() {
  shield([&] {
    CallNote note(FunctionId::tsxSceneDraw);
    ++scene().drawCount;
  });
}

void tsxGNodeSetDrawingMode(HostHandle node, int mode) {
  shield([&] {
    CallNote note(FunctionId::tsxGNodeSetDrawingMode, node);
    note.number(mode);
    if (Node* n = find(node)) n->drawingMode = mode;
  });
}

}  // extern "C"
