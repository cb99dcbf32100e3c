// Readers of the bake program's output files, written from the formats'
// descriptions and not from the writers, so a round trip checks both.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "file_names.h"
#include "hostapi/host_types.h"

namespace bake::testing {

inline std::string fileBytes(const std::string& path) {
  std::ifstream in(pathOf(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct PointCache {
  std::string signature;  // PC2 only
  std::int32_t version = 0;
  std::int32_t points = 0;
  float startFrame = 0, sampleRate = 0;  // PC2 only
  std::vector<float> times;              // MDD only
  std::vector<std::vector<HostVec3>> samples;
  bool wellFormed = false;  // the length is exactly what the header says
};

class ByteCursor {
 public:
  explicit ByteCursor(const std::string& bytes) : bytes_(bytes) {}
  bool has(std::size_t n) const { return at_ + n <= bytes_.size(); }
  std::uint32_t u32(bool bigEndian) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      const auto byte = static_cast<std::uint8_t>(bytes_[at_ + static_cast<std::size_t>(i)]);
      v |= static_cast<std::uint32_t>(byte) << (bigEndian ? 8 * (3 - i) : 8 * i);
    }
    at_ += 4;
    return v;
  }
  float f32(bool bigEndian) {
    const std::uint32_t bits = u32(bigEndian);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }
  std::string text(std::size_t n) {
    std::string s = bytes_.substr(at_, n);
    at_ += n;
    return s;
  }
  bool atEnd() const { return at_ == bytes_.size(); }

 private:
  const std::string& bytes_;
  std::size_t at_ = 0;
};

inline void readSamples(ByteCursor& in, PointCache& cache, std::size_t count, bool bigEndian) {
  for (std::size_t s = 0; s < count; ++s) {
    if (!in.has(12 * static_cast<std::size_t>(cache.points))) return;
    std::vector<HostVec3> sample(static_cast<std::size_t>(cache.points));
    for (HostVec3& v : sample) v = {in.f32(bigEndian), in.f32(bigEndian), in.f32(bigEndian)};
    cache.samples.push_back(std::move(sample));
  }
  cache.wellFormed = in.atEnd() && cache.samples.size() == count;
}

inline PointCache readPc2(const std::string& path) {
  const std::string bytes = fileBytes(path);
  PointCache cache;
  ByteCursor in(bytes);
  if (!in.has(32)) return cache;
  cache.signature = in.text(12);
  cache.version = static_cast<std::int32_t>(in.u32(false));
  cache.points = static_cast<std::int32_t>(in.u32(false));
  cache.startFrame = in.f32(false);
  cache.sampleRate = in.f32(false);
  const auto samples = in.u32(false);
  readSamples(in, cache, samples, false);
  return cache;
}

inline PointCache readMdd(const std::string& path) {
  const std::string bytes = fileBytes(path);
  PointCache cache;
  ByteCursor in(bytes);
  if (!in.has(8)) return cache;
  const auto frames = in.u32(true);
  cache.points = static_cast<std::int32_t>(in.u32(true));
  for (std::uint32_t i = 0; i < frames && in.has(4); ++i) cache.times.push_back(in.f32(true));
  readSamples(in, cache, frames, true);
  return cache;
}

struct ObjMesh {
  std::string name;
  std::vector<HostVec3> vertices;
  std::vector<std::vector<int>> faces;  // 1-based, as written
};

// Reads the plain subset the bake writes: one `o`, `v x y z`, `f a b c ...`.
inline ObjMesh readSimpleObj(const std::string& path) {
  ObjMesh mesh;
  std::istringstream text(fileBytes(path));
  std::string line;
  while (std::getline(text, line)) {
    std::istringstream words(line);
    std::string keyword;
    words >> keyword;
    if (keyword == "o") {
      words >> mesh.name;
    } else if (keyword == "v") {
      HostVec3 v{};
      words >> v.x >> v.y >> v.z;
      mesh.vertices.push_back(v);
    } else if (keyword == "f") {
      std::vector<int> face;
      for (int index; words >> index;) face.push_back(index);
      mesh.faces.push_back(face);
    }
  }
  return mesh;
}

}  // namespace bake::testing
