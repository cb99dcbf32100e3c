#include "scene_file.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string_view>
#include <vector>

#include "bake_error.h"
#include "commands/scene_commands.h"
#include "file_names.h"
#include "interrupt.h"
#include "obj_reader.h"
#include "up_axis.h"

namespace bake {

namespace {

using nlohmann::json;

// The largest grid the host makes; beyond it a typo costs gigabytes.
constexpr int kMaxGridSides = 2048;
// Frames of boxes stay well inside an int, whatever the run adds to them.
constexpr long long kMaxFrame = 1000000000;

// The steps of a place in the document as the reader names it:
// "effectors[1].sphere.radius" is effectors, 1, sphere, radius.
std::vector<std::string> stepsOf(const std::string& where) {
  std::vector<std::string> steps;
  std::string step;
  for (char c : where) {
    if (c == '.' || c == '[' || c == ']') {
      if (!step.empty()) steps.push_back(step);
      step.clear();
    } else {
      step += c;
    }
  }
  if (!step.empty()) steps.push_back(step);
  return steps;
}

// The line (from 1) on which the value at `where` begins in text that
// parsed as JSON, or 0 when there is no such value. The JSON library keeps
// no positions, so the text is walked again, keeping the path to each value.
int lineOfValue(std::string_view text, const std::string& where) {
  const std::vector<std::string> target = stepsOf(where);
  if (target.empty() || where == "the document") return 0;
  struct Level {
    bool array;
    std::size_t index = 0;
    std::string key;
    bool expectKey = false;
  };
  std::vector<Level> levels;
  int line = 1;
  const auto skipString = [&](std::size_t& i, std::string* out) {
    for (++i; i < text.size() && text[i] != '"'; ++i) {
      if (text[i] == '\\' && i + 1 < text.size()) {
        if (out) *out += text[i];
        ++i;
      }
      if (out) *out += text[i];
    }
  };
  const auto atTarget = [&] {
    if (levels.size() != target.size()) return false;
    for (std::size_t d = 0; d < levels.size(); ++d) {
      const std::string step = levels[d].array ? std::to_string(levels[d].index) : levels[d].key;
      if (step != target[d]) return false;
    }
    return true;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n') ++line;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ':') continue;
    if (c == ',') {
      if (!levels.empty()) {
        if (levels.back().array) ++levels.back().index;
        else levels.back().expectKey = true;
      }
      continue;
    }
    if (c == ']' || c == '}') {
      if (!levels.empty()) levels.pop_back();
      continue;
    }
    if (!levels.empty() && levels.back().expectKey && c == '"') {
      levels.back().key.clear();
      skipString(i, &levels.back().key);
      levels.back().expectKey = false;
      continue;
    }
    // A value begins here.
    if (atTarget()) return line;
    if (c == '{') {
      levels.push_back({false, 0, {}, true});
    } else if (c == '[') {
      levels.push_back({true, 0, {}, false});
    } else if (c == '"') {
      skipString(i, nullptr);
    } else {
      while (i + 1 < text.size() && std::string_view(",]} \t\r\n").find(text[i + 1]) == std::string_view::npos) ++i;
    }
  }
  return 0;
}

class Reader {
 public:
  Reader(std::string_view text, const std::string& fileName, const std::string& folder)
      : text_(text), fileName_(fileName), folder_(folder) {}

  BakeScene read(const json& doc) {
    requireObject(doc, "the document");
    onlyMembers(doc, "the document", {"up", "water", "effectors", "wind", "output_transform"});
    BakeScene scene;
    if (doc.contains("up")) {
      scene.upAxis = upAxisNamed(text(doc["up"], "up"));
      if (!scene.upAxis) fail("up", "must be \"y\" or \"z\"");
    }
    if (!doc.contains("water")) fail("the document", "needs a \"water\"");
    readWater(doc["water"], scene);
    if (doc.contains("effectors")) {
      const json& list = doc["effectors"];
      if (!list.is_array()) fail("effectors", "must be a list");
      // The wind source is found by its name, so no effector may take it.
      std::set<std::string> names{scene.waterName, rillmark::kWindSourceName};
      for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string where = "effectors[" + std::to_string(i) + "]";
        BakeEffector effector = readEffector(list[i], where, i);
        if (!names.insert(effector.name).second)
          fail(where, "the name \"" + effector.name + "\" is already taken");
        scene.effectors.push_back(std::move(effector));
      }
    }
    if (doc.contains("wind")) scene.wind = readWind(doc["wind"]);
    if (doc.contains("output_transform")) scene.outputTransform = transform(doc["output_transform"], "output_transform");
    return scene;
  }

 private:
  // "<file>:<line>: <where>: <what>", the line being where the value at
  // `where` begins.
  [[noreturn]] void fail(const std::string& where, const std::string& what) const {
    const int line = lineOfValue(text_, where);
    throw BakeFailure(fileName_ + (line > 0 ? ":" + std::to_string(line) : "") + ": " + where + ": " + what);
  }

  void requireObject(const json& value, const std::string& where) const {
    if (!value.is_object()) fail(where, "must be an object ({ ... })");
  }

  // A misspelt member would otherwise be ignored without a word.
  void onlyMembers(const json& value, const std::string& where, std::initializer_list<const char*> known) const {
    for (const auto& [key, member] : value.items()) {
      bool ok = false;
      for (const char* k : known) ok = ok || key == k;
      if (!ok) fail(where == "the document" ? key : where + "." + key, "unknown member \"" + key + "\"");
    }
  }

  float number(const json& value, const std::string& where) const {
    if (!value.is_number()) fail(where, "must be a number");
    const double d = value.get<double>();
    if (!(std::fabs(d) <= FLT_MAX)) fail(where, "must be a finite number within the range of a float");
    return static_cast<float>(d);
  }

  double real(const json& value, const std::string& where) const {
    if (!value.is_number()) fail(where, "must be a number");
    const double d = value.get<double>();
    if (!std::isfinite(d)) fail(where, "must be a finite number");
    return d;
  }

  OutputTransform transform(const json& value, const std::string& where) const {
    if (!value.is_array() || value.size() != 3) fail(where, "must be three rows [x, y, z, offset]");
    OutputTransform t{};
    for (std::size_t r = 0; r < 3; ++r) {
      const std::string at = where + "[" + std::to_string(r) + "]";
      if (!value[r].is_array() || value[r].size() != 4) fail(at, "must be a row [x, y, z, offset]");
      for (std::size_t c = 0; c < 4; ++c) t.rows[r][c] = real(value[r][c], at + "[" + std::to_string(c) + "]");
    }
    return t;
  }

  // [frame, min x, min y, min z, max x, max y, max z] per frame, each frame
  // once; a box held until the next one.
  std::map<int, Box> boxes(const json& value, const std::string& where) const {
    if (!value.is_array() || value.empty()) fail(where, "must be a list of [frame, min x, min y, min z, max x, max y, max z]");
    std::map<int, Box> out;
    for (std::size_t i = 0; i < value.size(); ++i) {
      const std::string at = where + "[" + std::to_string(i) + "]";
      const json& entry = value[i];
      if (!entry.is_array() || entry.size() != 7) fail(at, "must be [frame, min x, min y, min z, max x, max y, max z]");
      if (!entry[0].is_number_integer()) fail(at + "[0]", "must be a whole frame number");
      const auto frame = entry[0].get<long long>();
      if (frame < -kMaxFrame || frame > kMaxFrame) fail(at + "[0]", "must lie between -1000000000 and 1000000000");
      Box box{};
      float* corners[6] = {&box.min.x, &box.min.y, &box.min.z, &box.max.x, &box.max.y, &box.max.z};
      for (std::size_t c = 0; c < 6; ++c) *corners[c] = number(entry[c + 1], at + "[" + std::to_string(c + 1) + "]");
      if (box.min.x > box.max.x || box.min.y > box.max.y || box.min.z > box.max.z)
        fail(at, "a minimum is above its maximum");
      if (!out.emplace(static_cast<int>(frame), box).second) fail(at + "[0]", "the frame has a box already");
    }
    return out;
  }

  HostVec3 vector3(const json& value, const std::string& where) const {
    if (!value.is_array() || value.size() != 3) fail(where, "must be [x, y, z]");
    return {number(value[0], where + "[0]"), number(value[1], where + "[1]"), number(value[2], where + "[2]")};
  }

  std::vector<LocationKey> keys(const json& value, const std::string& where) const {
    if (!value.is_array()) fail(where, "must be a list of [frame, x, y, z]");
    std::vector<LocationKey> out;
    for (std::size_t i = 0; i < value.size(); ++i) {
      const std::string at = where + "[" + std::to_string(i) + "]";
      const json& key = value[i];
      if (!key.is_array() || key.size() != 4) fail(at, "must be [frame, x, y, z]");
      out.push_back({number(key[0], at + "[0]"),
                     {number(key[1], at + "[1]"), number(key[2], at + "[2]"), number(key[3], at + "[3]")}});
    }
    return out;
  }

  std::string text(const json& value, const std::string& where) const {
    if (!value.is_string()) fail(where, "must be a text in quotes");
    return value.get<std::string>();
  }

  ObjFile objFile(const json& value, const std::string& where) const {
    const std::string name = text(value, where);
    if (name.empty()) fail(where, "names no file");
    return readObjFile(utf8Of(pathOf(folder_) / pathOf(name)));
  }

  // A file of little-endian 32-bit floats, x, y, z per vertex: a program
  // that hands over a large mesh need not format it as text.
  std::vector<HostVec3> points(const json& value, const std::string& where) const {
    const std::string name = text(value, where);
    if (name.empty()) fail(where, "names no file");
    const std::string path = utf8Of(pathOf(folder_) / pathOf(name));
    const std::string data = readWholeFile(path);
    if (data.empty() || data.size() % sizeof(HostVec3) != 0)
      throw BakeFailure(path + ": holds " + std::to_string(data.size()) +
                        " bytes; a vertex is three 4-byte floats, and the water needs at least one");
    static_assert(std::endian::native == std::endian::little, "the points file is little-endian");
    std::vector<HostVec3> vertices(data.size() / sizeof(HostVec3));
    std::memcpy(vertices.data(), data.data(), data.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) {
      const HostVec3& v = vertices[i];
      if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
        throw BakeFailure(path + ": vertex " + std::to_string(i) + " is not a finite point");
    }
    return vertices;
  }

  void readWater(const json& water, BakeScene& scene) const {
    requireObject(water, "water");
    onlyMembers(water, "water", {"name", "grid", "obj", "object", "points"});
    if (water.contains("name")) scene.waterName = text(water["name"], "water.name");
    if (scene.waterName.empty() || scene.waterName == rillmark::kWindSourceName)
      fail("water.name", "must not be empty nor the wind source's name");
    if (water.contains("grid") + water.contains("obj") + water.contains("points") != 1)
      fail("water", "needs one of \"grid\", \"obj\" or \"points\"");
    if (water.contains("points")) {
      if (water.contains("object")) fail("water.object", "names an object of an \"obj\" file");
      scene.waterVertices = points(water["points"], "water.points");
      return;
    }
    if (water.contains("grid")) {
      const json& grid = water["grid"];
      requireObject(grid, "water.grid");
      onlyMembers(grid, "water.grid", {"sides", "extent", "height"});
      if (!grid.contains("sides") || !grid["sides"].is_number_integer()) fail("water.grid.sides", "must be a whole number");
      const auto sides = grid["sides"].get<long long>();
      if (sides < 2 || sides > kMaxGridSides)
        fail("water.grid.sides", "must lie between 2 and " + std::to_string(kMaxGridSides));
      if (!grid.contains("extent")) fail("water.grid", "needs an \"extent\"");
      const float extent = number(grid["extent"], "water.grid.extent");
      if (!(extent > 0)) fail("water.grid.extent", "must be above 0");
      const float height = grid.contains("height") ? number(grid["height"], "water.grid.height") : 0.0f;
      scene.grid = WaterGrid{static_cast<int>(sides), extent, height};
      return;
    }
    if (water.contains("object") && !water["object"].is_string()) fail("water.object", "must be a text in quotes");
    const ObjFile file = objFile(water["obj"], "water.obj");
    const std::string fileName = utf8Of(pathOf(folder_) / pathOf(water["obj"].get<std::string>()));
    const ObjObject* object = nullptr;
    if (water.contains("object")) {
      object = file.find(water["object"].get<std::string>());
      if (!object) fail("water.object", "no object \"" + water["object"].get<std::string>() + "\" in " + fileName);
    } else {
      for (const ObjObject& o : file.objects)
        if (!object && !o.vertices.empty()) object = &o;
    }
    if (!object || object->vertices.empty()) fail("water", "the water in " + fileName + " has no vertices");
    scene.waterVertices = object->vertices;
    scene.waterFaces = object->faces;
  }

  BakeEffector readEffector(const json& value, const std::string& where, std::size_t index) const {
    requireObject(value, where);
    onlyMembers(value, where, {"name", "sphere", "obj", "keys", "location", "boxes"});
    BakeEffector effector;
    effector.name = value.contains("name") ? text(value["name"], where + ".name") : "Effector-" + std::to_string(index + 1);
    if (effector.name.empty()) fail(where + ".name", "must not be empty");
    if (value.contains("sphere") + value.contains("obj") + value.contains("boxes") != 1)
      fail(where, "needs one of \"sphere\", \"obj\" or \"boxes\"");
    if (value.contains("boxes")) {
      if (value.contains("keys") || value.contains("location")) fail(where, "moves by its \"boxes\" alone");
      effector.boxes = boxes(value["boxes"], where + ".boxes");
      effector.shape = BakeEffector::Shape::Boxes;
      return effector;
    }
    if (value.contains("sphere")) {
      const json& sphere = value["sphere"];
      requireObject(sphere, where + ".sphere");
      onlyMembers(sphere, where + ".sphere", {"radius"});
      if (!sphere.contains("radius")) fail(where + ".sphere", "needs a \"radius\"");
      effector.radius = number(sphere["radius"], where + ".sphere.radius");
      if (!(effector.radius > 0)) fail(where + ".sphere.radius", "must be above 0");
      effector.shape = BakeEffector::Shape::Sphere;
    } else {
      const ObjFile file = objFile(value["obj"], where + ".obj");
      for (const ObjObject& object : file.objects)
        effector.vertices.insert(effector.vertices.end(), object.vertices.begin(), object.vertices.end());
      if (effector.vertices.empty()) fail(where + ".obj", "the file has no vertices");
      effector.shape = BakeEffector::Shape::Mesh;
    }
    if (value.contains("keys") && value.contains("location")) fail(where, "has both \"keys\" and \"location\"");
    if (value.contains("keys")) effector.keys = keys(value["keys"], where + ".keys");
    if (value.contains("location")) effector.keys = {{0.0f, vector3(value["location"], where + ".location")}};
    return effector;
  }

  BakeWind readWind(const json& value) const {
    requireObject(value, "wind");
    onlyMembers(value, "wind", {"size", "location", "keys", "boxes"});
    BakeWind wind;
    if (value.contains("boxes")) {
      if (value.contains("size") || value.contains("location") || value.contains("keys"))
        fail("wind", "moves by its \"boxes\" alone");
      wind.boxes = boxes(value["boxes"], "wind.boxes");
      return wind;
    }
    if (value.contains("size")) wind.size = vector3(value["size"], "wind.size");
    if (value.contains("keys") && value.contains("location")) fail("wind", "has both \"keys\" and \"location\"");
    if (value.contains("location")) wind.location = vector3(value["location"], "wind.location");
    if (value.contains("keys")) wind.keys = keys(value["keys"], "wind.keys");
    return wind;
  }

  std::string_view text_;
  const std::string& fileName_;
  const std::string& folder_;
};

}  // namespace

Box boundsOf(const std::vector<HostVec3>& vertices) {
  Box box{vertices.front(), vertices.front()};
  for (const HostVec3& v : vertices) {
    box.min = {std::fmin(box.min.x, v.x), std::fmin(box.min.y, v.y), std::fmin(box.min.z, v.z)};
    box.max = {std::fmax(box.max.x, v.x), std::fmax(box.max.y, v.y), std::fmax(box.max.z, v.z)};
  }
  return box;
}

BakeScene parseSceneFile(std::string_view text, const std::string& fileName, const std::string& folder) {
  json doc;
  try {
    doc = json::parse(text.begin(), text.end());
  } catch (const json::exception& e) {
    // "[json.exception.parse_error.101] parse error at line 3, column 5: ...";
    // a number too large for any type comes as out_of_range.406.
    std::string what = e.what();
    const std::size_t bracket = what.find("] ");
    if (bracket != std::string::npos) what.erase(0, bracket + 2);
    throw BakeFailure(fileName + ": " + what);
  }
  return Reader(text, fileName, folder).read(doc);
}

BakeScene readSceneFile(const std::string& path) {
  const std::string text = readWholeFile(path);
  throwIfInterrupted();
  return parseSceneFile(text, path, utf8Of(pathOf(path).parent_path()));
}

}  // namespace bake
