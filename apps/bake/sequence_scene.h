// Builds the scene of an OBJ sequence: the water's rest shape from the
// first frame's file, and each effector's bounding box in every frame.
#pragma once

#include <string>
#include <vector>

#include "obj_sequence.h"
#include "bake_scene.h"

namespace bake {

struct SequenceRequest {
  std::string water;                   // the water object's name
  std::vector<std::string> effectors;  // named on the command line
  std::vector<int> frames;             // the frames to read, first first
};

// The effectors are the objects named in request.effectors and those whose
// names have the effector prefix. Throws BakeFailure naming the first
// missing file, a malformed file and line, a water without vertices or an
// effector missing from a frame.
BakeScene readObjSequence(const FramePattern& pattern, const SequenceRequest& request);

}  // namespace bake
