// Reads Wavefront OBJ text as 3D programs export it, object by object:
// vertex positions and polygon faces, nothing else. Objects are named by
// their `o` lines; a file without any `o` line is split by its `g` lines
// instead. Vertices before the first name belong to an object named "".
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

  // The first object of that name, or null.
  const ObjObject* find(std::string_view name) const;
};

// Throws BakeFailure "<file>:<line>: <what is wrong>" for a line it cannot
// read: a vertex without three finite numbers, a face of fewer than three
// corners, or a corner that is not one of its own object's vertices.
ObjFile parseObj(std::string_view text, const std::string& fileName);

// Throws BakeFailure "cannot open <file>" when the file cannot be read.
ObjFile readObjFile(const std::string& path);

}  // namespace bake
