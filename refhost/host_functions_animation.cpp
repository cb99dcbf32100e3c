// Host functions for animation: play mode, current time, keys and script
// trees.
#include <chrono>
#include <cmath>
#include <vector>

#include "refhost/animation.h"
#include "refhost/call_note.h"
#include "refhost/host_exports.h"
#include "refhost/scene_graph.h"
#include "refhost/shield.h"

using refhost::detail::CallNote;
using refhost::detail::find;
using refhost::detail::FunctionId;
using refhost::detail::Node;
using refhost::detail::scene;
using refhost::detail::shield;

extern "C" {

void tsxAnimSetPlayMode(int mode) {
  shield([&] {
    CallNote note(FunctionId::tsxAnimSetPlayMode);
    note.number(mode);
    scene().playMode = mode;
  });
}

// A time that is not a finite number is recorded but not taken: the scene
// keeps the time it had, so keys and locations stay defined.
void tsxAnimSetActiveTime(float frame) {
  shield([&] {
    CallNote note(FunctionId::tsxAnimSetActiveTime);
    note.number(frame);
    if (std::isfinite(frame)) scene().currentTime = frame;
    if (scene().timingFrames) {
      const auto now = std::chrono::steady_clock::now().time_since_epoch();
      scene().frameTimings.push_back({frame, std::chrono::duration<double>(now).count()});
    }
  });
}

void tsxAnimSetActiveFrame(HostHandle object, int frame) {
  shield([&] {
    CallNote note(FunctionId::tsxAnimSetActiveFrame, object);
    note.number(frame);
  });
}

void tsxSobjSetFrame(HostHandle object, int code) {
  shield([&] {
    CallNote note(FunctionId::tsxSobjSetFrame, object);
    note.number(code);
    Node* n = find(object);
    if (!n) return;
    refhost::detail::setFrame(*n, code);
    if (n->hasGeometry && refhost::detail::scene().openAnswers.vertexArraysMoveOnKey) {
      // A new buffer holding the same vertices; the old one is freed, so a
      // plug-in that kept its address reads freed memory.
      std::vector<HostVec3> moved(n->vertices.begin(), n->vertices.end());
      n->vertices.swap(moved);
    }
  });
}

void tsxGNodeSetFrame(HostHandle node, int code) {
  shield([&] {
    CallNote note(FunctionId::tsxGNodeSetFrame, node);
    note.number(code);
    if (Node* n = find(node)) n->frameCodes.push_back(code);
  });
}

void tsxSobjAddAttribute(HostHandle object, int code) {
  shield([&] {
    CallNote note(FunctionId::tsxSobjAddAttribute, object);
    note.number(code);
    if (Node* n = find(object)) refhost::detail::addAttribute(*n, code);
  });
}

void tsxGNodeDeleteScriptTree(HostHandle node) {
  shield([&] {
    CallNote note(FunctionId::tsxGNodeDeleteScriptTree, node);
    if (Node* n = find(node)) refhost::detail::deleteScriptTree(*n);
  });
}

void tsxGNodeCreateScriptTree(HostHandle node) {
  shield([&] {
    CallNote note(FunctionId::tsxGNodeCreateScriptTree, node);
    if (Node* n = find(node)) refhost::detail::createScriptTree(*n);
  });
}

}  // extern "C"
