#include "obj_reader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <system_error>
#include <utility>

#include "bake_error.h"
#include "file_names.h"
#include "interrupt.h"

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

// The vertex number of a corner ("7", "7/2", "7//3", "-1/-1").
std::optional<long long> cornerIndex(std::string_view corner) {
  corner = corner.substr(0, corner.find('/'));
  long long value = 0;
  const auto [end, ec] = std::from_chars(corner.data(), corner.data() + corner.size(), value);
  if (ec != std::errc() || end != corner.data() + corner.size() || value == 0) return std::nullopt;
  return value;
}

// The rest of the line after the keyword, as an object's name.
std::string nameAfterKeyword(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && isBlank(line[i])) ++i;
  while (i < line.size() && !isBlank(line[i])) ++i;
  while (i < line.size() && isBlank(line[i])) ++i;
  std::size_t end = line.size();
  while (end > i && isBlank(line[end - 1])) --end;
  return std::string(line.substr(i, end - i));
}

// Lines between two checks for Ctrl-C: a few milliseconds of reading.
constexpr long long kLinesBetweenChecks = 1 << 16;

class Parser {
 public:
  Parser(std::string_view text, const std::string& fileName) : text_(text), fileName_(fileName) {}

  ObjFile parse() {
    // Objects follow `o` lines; only a file with none is split by `g` lines.
    splitByGroups_ = !hasObjectLines();
    std::size_t pos = 0;
    while (pos <= text_.size()) {
      const std::size_t eol = text_.find('\n', pos);
      std::string_view line = text_.substr(pos, eol == std::string_view::npos ? std::string_view::npos : eol - pos);
      if (++lineNumber_ % kLinesBetweenChecks == 0) throwIfInterrupted();
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      readLine(line);
      if (eol == std::string_view::npos) break;
      pos = eol + 1;
    }
    return assemble();
  }

 private:
  // An object as the lines build it: the pool's vertices its elements use
  // (with the line of each, for messages), its faces, and the `v` lines
  // written while it was current.
  struct Building {
    std::string name;
    std::vector<long long> used;  // pool indices, as the elements name them
    std::vector<long long> usedOnLine;
    std::vector<std::pair<std::size_t, std::size_t>> faces;  // [begin, end) of `used`
    std::vector<std::pair<long long, long long>> ownVertices;  // [begin, end) of the pool
  };

  [[noreturn]] void fail(const std::string& what) const { failAt(lineNumber_, what); }
  [[noreturn]] void failAt(long long line, const std::string& what) const {
    throw BakeFailure(fileName_ + ":" + std::to_string(line) + ": " + what);
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

  Building& current() {
    if (current_ == kNone) current_ = objectNamed("");
    return building_[current_];
  }

  std::size_t objectNamed(const std::string& name) {
    const auto [at, added] = index_.try_emplace(name, building_.size());
    if (added) building_.push_back(Building{name, {}, {}, {}, {}});
    return at->second;
  }

  void readLine(std::string_view line) {
    const std::vector<std::string_view> t = tokens(line);
    if (t.empty() || t[0].front() == '#') return;
    if (t[0] == "o" || (t[0] == "g" && splitByGroups_)) {
      // "g left right": the first name; "g" alone: the unnamed object.
      current_ = objectNamed(t[0] == "g" ? (t.size() > 1 ? std::string(t[1]) : std::string()) : nameAfterKeyword(line));
    } else if (t[0] == "v") {
      // x y z, and a weight or colour that is not ours to keep.
      if (t.size() < 4) fail("a vertex needs three numbers (x y z), this line has " + std::to_string(t.size() - 1));
      HostVec3 v{};
      float* xyz[3] = {&v.x, &v.y, &v.z};
      for (int i = 0; i < 3; ++i) {
        const auto value = finiteNumber(t[static_cast<std::size_t>(i) + 1]);
        if (!value) fail("'" + std::string(t[static_cast<std::size_t>(i) + 1]) + "' is not a finite number");
        *xyz[i] = *value;
      }
      const long long index = static_cast<long long>(pool_.size());
      pool_.push_back(v);
      auto& own = current().ownVertices;
      if (!own.empty() && own.back().second == index) {
        ++own.back().second;
      } else {
        own.push_back({index, index + 1});
      }
    } else if (t[0] == "f" || t[0] == "l" || t[0] == "p") {
      const std::size_t least = t[0] == "f" ? 3 : t[0] == "l" ? 2 : 1;
      if (t.size() < least + 1)
        fail(t[0] == "f" ? "a face needs at least three corners" : t[0] == "l" ? "a line needs two vertices" : "a point needs a vertex");
      Building& object = current();
      const std::size_t begin = object.used.size();
      for (std::size_t i = 1; i < t.size(); ++i) {
        const auto index = cornerIndex(t[i]);
        if (!index) fail("'" + std::string(t[i]) + "' is not a vertex number");
        // 1-based over the whole file, or counted back from the last vertex.
        const long long global = *index > 0 ? *index - 1 : static_cast<long long>(pool_.size()) + *index;
        if (global < 0) fail("corner " + std::string(t[i]) + " counts back past the first vertex");
        object.used.push_back(global);
        object.usedOnLine.push_back(lineNumber_);
      }
      if (t[0] == "f") object.faces.push_back({begin, object.used.size()});
    }
    // Normals, texture coordinates, materials, smoothing groups and the
    // rest are not the simulation's business.
  }

  ObjFile assemble() const {
    ObjFile file;
    const auto poolSize = static_cast<long long>(pool_.size());
    for (const Building& b : building_) {
      ObjObject object;
      object.name = b.name;
      if (b.used.empty()) {
        for (const auto& [begin, end] : b.ownVertices)
          object.vertices.insert(object.vertices.end(), pool_.begin() + begin, pool_.begin() + end);
        file.objects.push_back(std::move(object));
        continue;
      }
      for (std::size_t i = 0; i < b.used.size(); ++i) {
        if (b.used[i] >= poolSize)
          failAt(b.usedOnLine[i], "corner " + std::to_string(b.used[i] + 1) + " is not a vertex: the file has " +
                                      std::to_string(poolSize));
      }
      // The vertices used, in the pool's order, and each one's new number.
      std::vector<long long> order(b.used);
      std::sort(order.begin(), order.end());
      order.erase(std::unique(order.begin(), order.end()), order.end());
      object.vertices.reserve(order.size());
      for (long long index : order) object.vertices.push_back(pool_[static_cast<std::size_t>(index)]);
      const auto local = [&](long long index) {
        return static_cast<int>(std::lower_bound(order.begin(), order.end(), index) - order.begin());
      };
      object.faces.reserve(b.faces.size());
      for (const auto& [begin, end] : b.faces) {
        std::vector<int> face;
        face.reserve(end - begin);
        for (std::size_t i = begin; i < end; ++i) face.push_back(local(b.used[i]));
        object.faces.push_back(std::move(face));
      }
      file.objects.push_back(std::move(object));
    }
    return file;
  }

  std::string_view text_;
  const std::string& fileName_;
  bool splitByGroups_ = false;
  long long lineNumber_ = 0;
  std::vector<HostVec3> pool_;
  std::vector<Building> building_;
  std::map<std::string, std::size_t> index_;
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t current_ = kNone;
};

}  // namespace


const ObjObject* ObjFile::find(std::string_view name) const {
  for (const ObjObject& object : objects)
    if (object.name == name) return &object;
  return nullptr;
}

ObjFile parseObj(std::string_view text, const std::string& fileName) { return Parser(text, fileName).parse(); }

std::string readWholeFile(const std::string& path) {
  std::ifstream in(pathOf(path), std::ios::binary);
  if (!in) {
    // The system's reason, to follow a colon.
    std::string why = std::generic_category().message(errno);
    if (!why.empty()) why[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[0])));
    throw BakeFailure("cannot open " + path + ": " + why);
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw BakeFailure("cannot read " + path);
  return text.str();
}

ObjFile readObjFile(const std::string& path) { return parseObj(readWholeFile(path), path); }

}  // namespace bake
