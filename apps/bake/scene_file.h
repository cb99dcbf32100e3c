// The scene file: a JSON document naming the water (an OBJ file, a grid or
// a file of points), the effectors (spheres or OBJ meshes with location
// keys, or a box per frame), an optional wind source, and an optional
// transform of the outputs. docs/bake.md and docs/guide describe the format.
#pragma once

#include <string>
#include <string_view>

#include "bake_scene.h"

namespace bake {

// OBJ files named in the scene are found relative to `folder`. Throws
// BakeFailure naming the file and, for a syntax error, the line and
// column; for a wrong value, where in the document it is.
BakeScene parseSceneFile(std::string_view text, const std::string& fileName, const std::string& folder);

BakeScene readSceneFile(const std::string& path);

}  // namespace bake
