// Host functions for polyhedra: vertex arrays and transformations, change
// marks, vertex selection, and the location and size of any node.
#include <algorithm>
#include <optional>
#include <vector>

#include "refhost/call_note.h"
#include "refhost/geometry.h"
#include "refhost/host_exports.h"
#include "refhost/scene_graph.h"
#include "refhost/shield.h"

using refhost::detail::CallNote;
using refhost::detail::find;
using refhost::detail::FunctionId;
using refhost::detail::Node;
using refhost::detail::shield;

namespace {

Node* findPolyhedron(HostHandle handle) {
  Node* n = find(handle);
  return n && n->hasGeometry ? n : nullptr;
}

// The box component the boxValue fault puts in place of the true one.
std::optional<float> faultyBox(HostHandle node) {
  const refhost::Faults& faults = refhost::detail::scene().faults;
  if (!faults.boxValue || (faults.boxNode != nullptr && faults.boxNode != node)) return std::nullopt;
  return faults.boxValue;
}

void markVertex(HostHandle polyhedron, int index) {
  Node* n = findPolyhedron(polyhedron);
  if (!n) return;
  ++n->vertexChangeMarks;
  const auto vertex = static_cast<std::size_t>(static_cast<unsigned>(index));  // a negative index is out of range
  const std::size_t count = n->vertices.size();
  if (vertex >= count) return;
  if (n->vertexMarks.size() != count) n->vertexMarks.assign(count, 0);
  n->vertexMarks[vertex] = 1;
}

}  // namespace

extern "C" {

int tsxPolyhGetNbrVxs(HostHandle polyhedron) {
  return shield(0, [&] {
    CallNote note(FunctionId::tsxPolyhGetNbrVxs, polyhedron);
    const Node* n = findPolyhedron(polyhedron);
    if (n && refhost::detail::scene().faults.vertexCount) return *refhost::detail::scene().faults.vertexCount;
    return n ? static_cast<int>(n->vertices.size()) : 0;
  });
}

HostVec3* tsxPolyhGetVxArray(HostHandle polyhedron) {
  return shield<HostVec3*>(nullptr, [&] {
    CallNote note(FunctionId::tsxPolyhGetVxArray, polyhedron);
    Node* n = findPolyhedron(polyhedron);
    if (refhost::detail::scene().faults.nullVertexArrays) return static_cast<HostVec3*>(nullptr);
    return n && !n->vertices.empty() ? n->vertices.data() : nullptr;
  });
}

void tsxPolyhGetVxTxmx(HostHandle polyhedron, HostMatrix3x4* matrix) {
  shield([&] {
    CallNote note(FunctionId::tsxPolyhGetVxTxmx, polyhedron);
    if (!matrix) return;
    const Node* n = findPolyhedron(polyhedron);
    *matrix = n ? n->transform : kIdentityMatrix;
  });
}

void tsxPolyhSetVxTxmx(HostHandle polyhedron, const HostMatrix3x4* matrix) {
  shield([&] {
    CallNote note(FunctionId::tsxPolyhSetVxTxmx, polyhedron);
    note.matrix(matrix);
    Node* n = findPolyhedron(polyhedron);
    if (n && matrix) n->transform = *matrix;
  });
}

// dst[i] = matrix x src[i]. The source is copied first when the two ranges
// overlap other than exactly, so in-place and shifted calls are both exact.
// A run's Start calls it once a vertex, so it is recorded only while
// recording is on.
void tsxTransformVecs3f(int count, HostVec3* dst, const HostVec3* src, const HostMatrix3x4* matrix) {
  shield([&] {
    if (!refhost::detail::countIfUnrecorded(FunctionId::tsxTransformVecs3f)) {
      CallNote note(FunctionId::tsxTransformVecs3f);
      note.number(count);
      if (src && count > 0) {
        for (int i = 0; i < std::min(count, refhost::kMaxRecordedVectors); ++i) note.vector(src + i);
      }
      note.matrix(matrix);
    }
    if (!dst || !src || !matrix || count <= 0) return;
    const std::size_t n = static_cast<std::size_t>(count);
    std::vector<HostVec3> staged;
    const HostVec3* from = src;
    if (dst != src && dst < src + n && src < dst + n) {
      staged.assign(src, src + n);
      from = staged.data();
    }
    for (std::size_t i = 0; i < n; ++i) dst[i] = refhost::detail::applyMatrix(*matrix, from[i]);
  });
}

void tsxPolyhMarkGeomChange(HostHandle polyhedron) {
  shield([&] {
    CallNote note(FunctionId::tsxPolyhMarkGeomChange, polyhedron);
    if (Node* n = findPolyhedron(polyhedron)) ++n->geomChangeMarks;
  });
}

// The plug-in marks vertices by the hundred thousand per frame, so this is
// kept to what a host's own flag costs: a counter and one flag, and a call
// record only while recording is on.
void tsxPolyhMarkVertexChange(HostHandle polyhedron, int index) {
  shield([&] {
    if (!refhost::detail::countIfUnrecorded(FunctionId::tsxPolyhMarkVertexChange)) {
      CallNote note(FunctionId::tsxPolyhMarkVertexChange, polyhedron);
      note.number(index);
    }
    markVertex(polyhedron, index);
  });
}

void tsxGNodeGetLocation(HostHandle node, HostVec3* location) {
  shield([&] {
    CallNote note(FunctionId::tsxGNodeGetLocation, node);
    if (!location) return;
    const Node* n = find(node);
    const std::optional<float> fault = n ? faultyBox(node) : std::nullopt;
    if (fault) {
      *location = {*fault, *fault, *fault};
    } else {
      *location = n ? refhost::detail::boxCentre(refhost::detail::worldBox(*n)) : HostVec3{0, 0, 0};
    }
  });
}

void tsxGNodeGetSize(HostHandle node, HostVec3* size) {
  shield([&] {
    CallNote note(FunctionId::tsxGNodeGetSize, node);
    if (!size) return;
    const Node* n = find(node);
    const std::optional<float> fault = n ? faultyBox(node) : std::nullopt;
    if (fault) {
      *size = {*fault, *fault, *fault};
    } else {
      *size = n ? refhost::detail::boxExtents(refhost::detail::worldBox(*n)) : HostVec3{0, 0, 0};
    }
  });
}

// Out-of-range indices are skipped; the count is trusted only as far as the
// caller's array goes, as with any C array argument.
void tsxPolyhSelectVertices(HostHandle polyhedron, int count, const int* indices) {
  shield([&] {
    CallNote note(FunctionId::tsxPolyhSelectVertices, polyhedron);
    note.number(count).indices(indices, count);
    if (Node* n = findPolyhedron(polyhedron)) refhost::detail::selectVertices(*n, count, indices);
  });
}

void tsxPointsTranslate(const HostVec3* offset, int mode) {
  shield([&] {
    CallNote note(FunctionId::tsxPointsTranslate);
    note.vector(offset).number(mode);
    if (offset) refhost::detail::translateSelection(*offset);
  });
}

void tsxPolyhDeselectAll(HostHandle polyhedron) {
  shield([&] {
    CallNote note(FunctionId::tsxPolyhDeselectAll, polyhedron);
    if (Node* n = findPolyhedron(polyhedron)) refhost::detail::deselectAll(*n);
  });
}

}  // extern "C"
