// The scene file: a JSON document naming the water (an OBJ file or a
// grid), the effectors (spheres or OBJ meshes with location keys) and an
// optional wind source. README.md and docs/guide describe the format.
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
