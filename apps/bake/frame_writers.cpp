#include "frame_writers.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "bake_error.h"

namespace bake {

namespace {

namespace fs = std::filesystem;

void putLittle32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putBig32(std::string& out, std::uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint32_t bitsOf(float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

// x, y and z of every vertex, each put by `put` (little- or big-endian).
std::string packed(std::span<const HostVec3> vertices, void (*put)(std::string&, std::uint32_t)) {
  std::string bytes;
  bytes.reserve(vertices.size() * 12);
  for (const HostVec3& v : vertices) {
    put(bytes, bitsOf(v.x));
    put(bytes, bitsOf(v.y));
    put(bytes, bitsOf(v.z));
  }
  return bytes;
}

class Pc2Writer : public FrameWriter {
 public:
  Pc2Writer(const std::string& path, int points, float startFrame, float sampleRate, int samples)
      : out_(path), points_(points) {
    std::string header("POINTCACHE2", 12);  // with its NUL
    putLittle32(header, 1);
    putLittle32(header, static_cast<std::uint32_t>(points));
    putLittle32(header, bitsOf(startFrame));
    putLittle32(header, bitsOf(sampleRate));
    putLittle32(header, static_cast<std::uint32_t>(samples));
    out_.write(header);
  }
  void frame(int, std::span<const HostVec3> vertices) override {
    if (static_cast<int>(vertices.size()) != points_) throw BakeFailure("the water's vertex count changed");
    out_.write(packed(vertices, putLittle32));
  }
  void commit() override { out_.commit(); }

 private:
  SafeOutput out_;
  int points_;
};

class MddWriter : public FrameWriter {
 public:
  MddWriter(const std::string& path, int points, const std::vector<int>& frames, float fps)
      : out_(path), points_(points) {
    std::string header;
    putBig32(header, static_cast<std::uint32_t>(frames.size()));
    putBig32(header, static_cast<std::uint32_t>(points));
    for (int f : frames) putBig32(header, bitsOf(static_cast<float>(static_cast<double>(f) / fps)));
    out_.write(header);
  }
  void frame(int, std::span<const HostVec3> vertices) override {
    if (static_cast<int>(vertices.size()) != points_) throw BakeFailure("the water's vertex count changed");
    out_.write(packed(vertices, putBig32));
  }
  void commit() override { out_.commit(); }

 private:
  SafeOutput out_;
  int points_;
};

class ObjWriter : public FrameWriter {
 public:
  ObjWriter(const std::string& folder, const std::string& name, std::vector<std::vector<int>> faces)
      : folder_(folder), name_(name), faces_(std::move(faces)) {
    std::error_code ec;
    if (!fs::is_directory(folder_, ec)) {
      fs::create_directories(folder_, ec);
      if (ec) throw BakeFailure("cannot create the folder " + folder_ + ": " + ec.message());
      createdFolder_ = true;
    }
    // A name keeps to its one line.
    for (char c : name_) objectName_ += static_cast<unsigned char>(c) < 0x20 ? '_' : c;
    // The faces are the same in every frame.
    for (const std::vector<int>& face : faces_) {
      faceText_ += 'f';
      for (int index : face) faceText_ += ' ' + std::to_string(index + 1);
      faceText_ += '\n';
    }
  }
  ~ObjWriter() override {
    files_.clear();  // removes every file not committed
    std::error_code ec;
    if (createdFolder_ && !committed_) fs::remove(folder_, ec);  // only if left empty
  }
  void frame(int number, std::span<const HostVec3> vertices) override {
    auto out = std::make_unique<SafeOutput>((fs::path(folder_) / objFrameFileName(name_, number)).string());
    std::string text = "# Rillmark bake, frame " + std::to_string(number) + "\no " + objectName_ + "\n";
    char line[96];
    for (const HostVec3& v : vertices) {
      // Nine significant digits give back the very same float.
      std::snprintf(line, sizeof line, "v %.9g %.9g %.9g\n", static_cast<double>(v.x), static_cast<double>(v.y),
                    static_cast<double>(v.z));
      text += line;
    }
    text += faceText_;
    out->write(text);
    out->finish();
    files_.push_back(std::move(out));
  }
  void commit() override {
    for (const auto& file : files_) file->commit();
    committed_ = true;
  }

 private:
  std::string folder_;
  std::string name_;
  std::string objectName_;
  std::vector<std::vector<int>> faces_;
  std::string faceText_;
  std::vector<std::unique_ptr<SafeOutput>> files_;
  bool createdFolder_ = false;
  bool committed_ = false;
};

}  // namespace

std::string objFrameFileName(const std::string& name, int frame) {
  std::string safe;
  for (char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    safe += plain ? c : '_';
  }
  if (safe.empty()) safe = "water";
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", frame);
  return safe + "_" + digits + ".obj";
}

std::unique_ptr<FrameWriter> makePc2Writer(const std::string& path, int points, float startFrame, float sampleRate,
                                           int samples) {
  return std::make_unique<Pc2Writer>(path, points, startFrame, sampleRate, samples);
}

std::unique_ptr<FrameWriter> makeMddWriter(const std::string& path, int points, const std::vector<int>& frames,
                                           float fps) {
  return std::make_unique<MddWriter>(path, points, frames, fps);
}

std::unique_ptr<FrameWriter> makeObjWriter(const std::string& folder, const std::string& name,
                                           std::vector<std::vector<int>> faces) {
  return std::make_unique<ObjWriter>(folder, name, std::move(faces));
}

}  // namespace bake
