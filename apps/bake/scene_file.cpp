#include "scene_file.h"

#include <cfloat>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "bake_error.h"
#include "obj_reader.h"
#include "scene/scene_commands.h"

namespace bake {

namespace {

using nlohmann::json;

// The largest grid the host makes; beyond it a typo costs gigabytes.
constexpr int kMaxGridSides = 2048;

class Reader {
 public:
  Reader(const std::string& fileName, const std::string& folder) : fileName_(fileName), folder_(folder) {}

  SceneSpec read(const json& doc) {
    requireObject(doc, "the document");
    onlyMembers(doc, "the document", {"water", "effectors", "wind"});
    SceneSpec scene;
    if (!doc.contains("water")) fail("the document", "needs a \"water\"");
    readWater(doc["water"], scene);
    if (doc.contains("effectors")) {
      const json& list = doc["effectors"];
      if (!list.is_array()) fail("effectors", "must be a list");
      // The wind source is found by its name, so no effector may take it.
      std::set<std::string> names{scene.waterName, rillmark::kWindSourceName};
      for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string where = "effectors[" + std::to_string(i) + "]";
        EffectorSpec effector = readEffector(list[i], where, i);
        if (!names.insert(effector.name).second)
          fail(where, "the name \"" + effector.name + "\" is already taken");
        scene.effectors.push_back(std::move(effector));
      }
    }
    if (doc.contains("wind")) scene.wind = readWind(doc["wind"]);
    return scene;
  }

 private:
  [[noreturn]] void fail(const std::string& where, const std::string& what) const {
    throw BakeFailure(fileName_ + ": " + where + ": " + what);
  }

  void requireObject(const json& value, const std::string& where) const {
    if (!value.is_object()) fail(where, "must be an object ({ ... })");
  }

  // A misspelt member would otherwise be ignored without a word.
  void onlyMembers(const json& value, const std::string& where, std::initializer_list<const char*> known) const {
    for (const auto& [key, member] : value.items()) {
      bool ok = false;
      for (const char* k : known) ok = ok || key == k;
      if (!ok) fail(where, "unknown member \"" + key + "\"");
    }
  }

  float number(const json& value, const std::string& where) const {
    if (!value.is_number()) fail(where, "must be a number");
    const double d = value.get<double>();
    if (!(std::fabs(d) <= FLT_MAX)) fail(where, "must be a finite number within the range of a float");
    return static_cast<float>(d);
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
    const std::filesystem::path path = std::filesystem::path(folder_) / name;
    return readObjFile(path.string());
  }

  void readWater(const json& water, SceneSpec& scene) const {
    requireObject(water, "water");
    onlyMembers(water, "water", {"name", "grid", "obj", "object"});
    if (water.contains("name")) scene.waterName = text(water["name"], "water.name");
    if (scene.waterName.empty() || scene.waterName == rillmark::kWindSourceName)
      fail("water.name", "must not be empty nor the wind source's name");
    if (water.contains("grid") == water.contains("obj")) fail("water", "needs either \"grid\" or \"obj\"");
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
    const std::string fileName = (std::filesystem::path(folder_) / water["obj"].get<std::string>()).string();
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

  EffectorSpec readEffector(const json& value, const std::string& where, std::size_t index) const {
    requireObject(value, where);
    onlyMembers(value, where, {"name", "sphere", "obj", "keys", "location"});
    EffectorSpec effector;
    effector.name = value.contains("name") ? text(value["name"], where + ".name") : "Effector-" + std::to_string(index + 1);
    if (effector.name.empty()) fail(where + ".name", "must not be empty");
    if (value.contains("sphere") == value.contains("obj")) fail(where, "needs either \"sphere\" or \"obj\"");
    if (value.contains("sphere")) {
      const json& sphere = value["sphere"];
      requireObject(sphere, where + ".sphere");
      onlyMembers(sphere, where + ".sphere", {"radius"});
      if (!sphere.contains("radius")) fail(where + ".sphere", "needs a \"radius\"");
      effector.radius = number(sphere["radius"], where + ".sphere.radius");
      if (!(effector.radius > 0)) fail(where + ".sphere.radius", "must be above 0");
      effector.shape = EffectorSpec::Shape::Sphere;
    } else {
      const ObjFile file = objFile(value["obj"], where + ".obj");
      for (const ObjObject& object : file.objects)
        effector.vertices.insert(effector.vertices.end(), object.vertices.begin(), object.vertices.end());
      if (effector.vertices.empty()) fail(where + ".obj", "the file has no vertices");
      effector.shape = EffectorSpec::Shape::Mesh;
    }
    if (value.contains("keys") && value.contains("location")) fail(where, "has both \"keys\" and \"location\"");
    if (value.contains("keys")) effector.keys = keys(value["keys"], where + ".keys");
    if (value.contains("location")) effector.keys = {{0.0f, vector3(value["location"], where + ".location")}};
    return effector;
  }

  WindSpec readWind(const json& value) const {
    requireObject(value, "wind");
    onlyMembers(value, "wind", {"size", "location", "keys"});
    WindSpec wind;
    if (value.contains("size")) wind.size = vector3(value["size"], "wind.size");
    if (value.contains("keys") && value.contains("location")) fail("wind", "has both \"keys\" and \"location\"");
    if (value.contains("location")) wind.location = vector3(value["location"], "wind.location");
    if (value.contains("keys")) wind.keys = keys(value["keys"], "wind.keys");
    return wind;
  }

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

SceneSpec parseSceneFile(std::string_view text, const std::string& fileName, const std::string& folder) {
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
  return Reader(fileName, folder).read(doc);
}

SceneSpec readSceneFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw BakeFailure("cannot open " + path);
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw BakeFailure("cannot read " + path);
  return parseSceneFile(text.str(), path, std::filesystem::path(path).parent_path().string());
}

}  // namespace bake
