// Fuzz target: the bake program's readers of what users hand it. The first
// byte picks the reader: OBJ text (one frame of a sequence), a scene file
// (JSON), or an --obj-sequence name pattern. Whatever the bytes, a reader
// either refuses them with its own error, naming the file (and, for OBJ
// text, the line), or gives a scene the program can build: every face
// corner one of its object's vertices, every number finite, every size in
// bounds, every box the right way up.
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "bake_error.h"
#include "fuzz/fuzz_check.h"
#include "obj_reader.h"
#include "obj_sequence.h"
#include "scene_file.h"

namespace bake {
namespace {

bool finite(const HostVec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

void checkObj(std::string_view text) {
  try {
    const ObjFile file = parseObj(text, "f.obj");
    for (const ObjObject& object : file.objects) {
      for (const HostVec3& v : object.vertices) FUZZ_CHECK(finite(v));
      for (const auto& face : object.faces) {
        FUZZ_CHECK(face.size() >= 3);
        for (int index : face) FUZZ_CHECK(index >= 0 && static_cast<std::size_t>(index) < object.vertices.size());
      }
    }
  } catch (const BakeFailure& e) {
    FUZZ_CHECK(startsWith(e.what(), "f.obj:"));
  }
}

void checkBoxes(const std::map<int, Box>& boxes) {
  for (const auto& [frame, box] : boxes) {
    FUZZ_CHECK(finite(box.min) && finite(box.max));
    FUZZ_CHECK(box.min.x <= box.max.x && box.min.y <= box.max.y && box.min.z <= box.max.z);
  }
}

void checkScene(std::string_view text) {
  try {
    // No OBJ file is there to be read: those members fail as files.
    const BakeScene scene = parseSceneFile(text, "s.json", "/nonexistent-rillmark-folder");
    if (scene.grid) {
      FUZZ_CHECK(scene.grid->sides >= 2 && scene.grid->sides <= 2048);
      FUZZ_CHECK(scene.grid->extent > 0 && std::isfinite(scene.grid->extent));
    }
    for (const BakeEffector& effector : scene.effectors) {
      FUZZ_CHECK(!effector.name.empty() && effector.name != scene.waterName);
      if (effector.shape == BakeEffector::Shape::Sphere) FUZZ_CHECK(effector.radius > 0 && std::isfinite(effector.radius));
      for (const LocationKey& key : effector.keys) FUZZ_CHECK(std::isfinite(key.frame) && finite(key.location));
      checkBoxes(effector.boxes);
      if (effector.shape == BakeEffector::Shape::Boxes) FUZZ_CHECK(!effector.boxes.empty());
    }
    if (scene.wind) {
      FUZZ_CHECK(finite(scene.wind->size) && finite(scene.wind->location));
      checkBoxes(scene.wind->boxes);
    }
    if (scene.outputTransform)
      for (const auto& row : scene.outputTransform->rows)
        for (double v : row) FUZZ_CHECK(std::isfinite(v));
  } catch (const BakeFailure& e) {
    // A relative OBJ path is looked for in the scene's folder; an absolute
    // one where it says.
    FUZZ_CHECK(startsWith(e.what(), "s.json:") || startsWith(e.what(), "cannot open /"));
  }
}

void checkPattern(std::string_view text) {
  try {
    const FramePattern pattern{std::string(text)};
    const std::string name = pattern.fileFor(42);
    FUZZ_CHECK(name.find("42") != std::string::npos);
    FUZZ_CHECK(pattern.fileFor(7) != pattern.fileFor(8));
  } catch (const UsageError& e) {
    FUZZ_CHECK(startsWith(e.what(), "--obj-sequence"));
  }
}

}  // namespace
}  // namespace bake

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 3) {
    case 0: bake::checkObj(text); break;
    case 1: bake::checkScene(text); break;
    default: bake::checkPattern(text); break;
  }
  return 0;
}
