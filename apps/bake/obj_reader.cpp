#include "obj_reader.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "bake_error.h"

namespace bake {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::vector<std::string_view> tokens(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && isBlank(line[i])) ++i;
    const std::size_t begin = i;
    while (i < line.size() && !isBlank(line[i])) ++i;
    if (i > begin) out.push_back(line.substr(begin, i - begin));
  }
  return out;
}

std::optional<float> finiteNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  float value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// The vertex number of a face corner ("7", "7/2", "7//3", "-1/-1").
std::optional<long long> cornerIndex(std::string_view corner) {
  corner = corner.substr(0, corner.find('/'));
  long long value = 0;
  const auto [end, ec] = std::from_chars(corner.data(), corner.data() + corner.size(), value);
  if (ec != std::errc() || end != corner.data() + corner.size() || value == 0) return std::nullopt;
  return value;
}

// The rest of the line after the keyword, as the object's name.
std::string nameAfterKeyword(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && isBlank(line[i])) ++i;
  while (i < line.size() && !isBlank(line[i])) ++i;
  while (i < line.size() && isBlank(line[i])) ++i;
  std::size_t end = line.size();
  while (end > i && isBlank(line[end - 1])) --end;
  return std::string(line.substr(i, end - i));
}

class Parser {
 public:
  Parser(std::string_view text, const std::string& fileName) : text_(text), fileName_(fileName) {}

  ObjFile parse() {
    // Objects follow `o` lines; only a file with none is split by `g` lines.
    const bool splitByGroups = !hasObjectLines();
    std::size_t pos = 0;
    while (pos <= text_.size()) {
      const std::size_t eol = text_.find('\n', pos);
      std::string_view line = text_.substr(pos, eol == std::string_view::npos ? std::string_view::npos : eol - pos);
      ++lineNumber_;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      readLine(line, splitByGroups);
      if (eol == std::string_view::npos) break;
      pos = eol + 1;
    }
    // An object named by a line but given nothing is still an object: a
    // water named in the file but without vertices is reported as such.
    return std::move(file_);
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    throw BakeFailure(fileName_ + ":" + std::to_string(lineNumber_) + ": " + what);
  }

  bool hasObjectLines() const {
    std::size_t pos = 0;
    while (pos < text_.size()) {
      std::size_t i = pos;
      while (i < text_.size() && isBlank(text_[i])) ++i;
      if (i + 1 < text_.size() && text_[i] == 'o' && isBlank(text_[i + 1])) return true;
      const std::size_t eol = text_.find('\n', pos);
      if (eol == std::string_view::npos) break;
      pos = eol + 1;
    }
    return false;
  }

  ObjObject& current() {
    if (file_.objects.empty()) file_.objects.push_back(ObjObject{});
    return file_.objects.back();
  }

  void startObject(std::string name) {
    file_.objects.push_back(ObjObject{std::move(name), {}, {}});
    firstVertex_ = vertexCount_;
  }

  void readLine(std::string_view line, bool splitByGroups) {
    const std::vector<std::string_view> t = tokens(line);
    if (t.empty() || t[0].front() == '#') return;
    if (t[0] == "o" || (t[0] == "g" && splitByGroups)) {
      startObject(nameAfterKeyword(line));
    } else if (t[0] == "v") {
      // x y z, and an optional weight or colour that is not ours to keep.
      if (t.size() < 4) fail("a vertex needs three numbers (x y z), this line has " + std::to_string(t.size() - 1));
      HostVec3 v{};
      float* xyz[3] = {&v.x, &v.y, &v.z};
      for (int i = 0; i < 3; ++i) {
        const auto value = finiteNumber(t[static_cast<std::size_t>(i) + 1]);
        if (!value) fail("'" + std::string(t[static_cast<std::size_t>(i) + 1]) + "' is not a finite number");
        *xyz[i] = *value;
      }
      current().vertices.push_back(v);
      ++vertexCount_;
    } else if (t[0] == "f") {
      if (t.size() < 4) fail("a face needs at least three corners");
      ObjObject& object = current();
      std::vector<int> face;
      face.reserve(t.size() - 1);
      for (std::size_t i = 1; i < t.size(); ++i) {
        const auto index = cornerIndex(t[i]);
        if (!index) fail("'" + std::string(t[i]) + "' is not a vertex number");
        // 1-based over the whole file, or counted back from the last vertex.
        const long long global = *index > 0 ? *index - 1 : vertexCount_ + *index;
        if (global < firstVertex_ || global >= vertexCount_)
          fail("face corner " + std::string(t[i]) + " is not a vertex of object '" + object.name + "'");
        face.push_back(static_cast<int>(global - firstVertex_));
      }
      object.faces.push_back(std::move(face));
    }
    // Normals, texture coordinates, materials, smoothing and lines are
    // not the simulation's business.
  }

  std::string_view text_;
  const std::string& fileName_;
  ObjFile file_;
  long long lineNumber_ = 0;
  long long vertexCount_ = 0;  // in the whole file so far
  long long firstVertex_ = 0;  // the current object's first, in the file
};

}  // namespace

const ObjObject* ObjFile::find(std::string_view name) const {
  for (const ObjObject& object : objects)
    if (object.name == name) return &object;
  return nullptr;
}

ObjFile parseObj(std::string_view text, const std::string& fileName) { return Parser(text, fileName).parse(); }

ObjFile readObjFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw BakeFailure("cannot open " + path);
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw BakeFailure("cannot read " + path);
  return parseObj(text.str(), path);
}

}  // namespace bake
