// Reads Wavefront OBJ text as 3D programs export it, object by object:
// vertex positions and polygon faces, nothing else.
//
// Objects are named by `o` lines; a file without any `o` line is split by
// its `g` lines instead (3ds Max, Maya), where several `g` lines of one
// name make one object and a `g` line with several names means the first.
// Vertices form one pool for the whole file, wherever their `v` lines
// stand: before their object, in a shared block at the top, or after its
// `o` line. An object's vertices are those its faces, lines and points use,
// in the order of the pool, which is the order the exporter wrote them; an
// object that uses none keeps the `v` lines written while it was the
// current one (vertices before the first name belong to an object "").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hostapi/host_types.h"

namespace bake {

struct ObjObject {
  std::string name;
  std::vector<HostVec3> vertices;
  // Each face as indices into this object's own vertices, from 0.
  std::vector<std::vector<int>> faces;
};

struct ObjFile {
  std::vector<ObjObject> objects;

  // The object of that name, or null.
  const ObjObject* find(std::string_view name) const;
};

// Throws BakeFailure "<file>:<line>: <what is wrong>" for a line it cannot
// read: a vertex without three finite numbers, a face of fewer than three
// corners, or a corner that is no vertex of the file.
ObjFile parseObj(std::string_view text, const std::string& fileName);

// Throws BakeFailure "cannot open <file>: <why>" when the file cannot be read.
ObjFile readObjFile(const std::string& path);

// The whole of a file; throws as readObjFile does.
std::string readWholeFile(const std::string& path);

}  // namespace bake
