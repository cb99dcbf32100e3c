#include "sequence_scene.h"

#include <algorithm>
#include <filesystem>

#include "bake_error.h"
#include "file_names.h"
#include "interrupt.h"
#include "obj_reader.h"
#include "scene/effector_prefix.h"

namespace bake {

namespace {

bool isEffector(const std::string& name, const SequenceRequest& request) {
  if (name == request.water) return false;
  return rillmark::hasEffectorPrefix(name) ||
         std::find(request.effectors.begin(), request.effectors.end(), name) != request.effectors.end();
}

}  // namespace

BakeScene readObjSequence(const FramePattern& pattern, const SequenceRequest& request) {
  if (request.frames.empty()) throw BakeFailure("no frames to read");
  // Every file is there before any is read, so a gap is found at once.
  for (int frame : request.frames) {
    const std::string file = pattern.fileFor(frame);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(pathOf(file), ec))
      throw BakeFailure("frame " + std::to_string(frame) + " of the sequence is missing: " + file);
  }

  BakeScene scene;
  scene.waterName = request.water;
  const std::string firstFile = pattern.fileFor(request.frames.front());
  {
    const ObjFile first = readObjFile(firstFile);
    const ObjObject* water = first.find(request.water);
    if (!water) throw BakeFailure(firstFile + ": no object named '" + request.water + "'");
    if (water->vertices.empty()) throw BakeFailure(firstFile + ": the water '" + request.water + "' has no vertices");
    scene.waterVertices = water->vertices;
    scene.waterFaces = water->faces;
    for (const ObjObject& object : first.objects) {
      if (!isEffector(object.name, request)) continue;
      const bool seen = std::any_of(scene.effectors.begin(), scene.effectors.end(),
                                    [&](const BakeEffector& e) { return e.name == object.name; });
      if (seen) continue;
      BakeEffector effector;
      effector.name = object.name;
      effector.shape = BakeEffector::Shape::Boxes;
      scene.effectors.push_back(std::move(effector));
    }
    for (const std::string& name : request.effectors) {
      if (!first.find(name)) throw BakeFailure(firstFile + ": no object named '" + name + "' (--effector)");
    }
  }

  for (int frame : request.frames) {
    throwIfInterrupted();
    const std::string file = pattern.fileFor(frame);
    const ObjFile objects = readObjFile(file);
    for (BakeEffector& effector : scene.effectors) {
      const ObjObject* object = objects.find(effector.name);
      if (!object) throw BakeFailure(file + ": the effector '" + effector.name + "' is missing");
      if (object->vertices.empty())
        throw BakeFailure(file + ": the effector '" + effector.name + "' has no vertices");
      effector.boxes[frame] = boundsOf(object->vertices);
    }
  }
  return scene;
}

}  // namespace bake
