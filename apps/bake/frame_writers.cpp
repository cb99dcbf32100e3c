#include "frame_writers.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "bake_error.h"
#include "file_names.h"
#include "platform/file_store.h"

namespace bake {

namespace {

namespace fs = std::filesystem;

void putLittle32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void putBig32(std::string& out, std::uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint32_t bitsOf(float f) { return std::bit_cast<std::uint32_t>(f); }

// x, y and z of every vertex as 32-bit words of the other byte order than
// the machine's, into `bytes` (reused from frame to frame).
void pack(std::span<const HostVec3> vertices, std::string& bytes) {
  static_assert(sizeof(HostVec3) == 12);
  bytes.resize(vertices.size() * 12);
  char* out = bytes.data();
  for (const HostVec3& v : vertices) {
    for (const float f : {v.x, v.y, v.z}) {
      std::uint32_t word = bitsOf(f);
      word = (word >> 24) | ((word >> 8) & 0xFF00u) | ((word << 8) & 0xFF0000u) | (word << 24);
      std::memcpy(out, &word, 4);
      out += 4;
    }
  }
}

// A header, then the same number of points in every frame.
class PointCacheWriter : public FrameWriter {
 public:
  PointCacheWriter(const std::string& path, int points, int frames, std::endian order, const std::string& header)
      : out_(path), points_(points), order_(order) {
    out_.expectSize(header.size() + std::uint64_t{12} * static_cast<std::uint64_t>(points) *
                                        static_cast<std::uint64_t>(frames));
    out_.write(header);
  }
  void frame(int, std::span<const HostVec3> vertices) override {
    if (static_cast<int>(vertices.size()) != points_) throw BakeFailure("the water's vertex count changed");
    if (order_ == std::endian::native) {
      out_.write({reinterpret_cast<const char*>(vertices.data()), vertices.size() * sizeof(HostVec3)});
      return;
    }
    pack(vertices, bytes_);
    out_.write(bytes_);
  }
  void finish() override { out_.finish(); }
  bool prepare() override { return out_.prepare(); }
  void addFiles(std::vector<SafeOutput*>& files) override { files.push_back(&out_); }

 private:
  SafeOutput out_;
  int points_;
  std::endian order_;
  std::string bytes_;
};

class ObjWriter : public FrameWriter {
 public:
  ObjWriter(const std::string& folder, const std::string& name, const std::vector<std::vector<int>>& faces,
            const std::vector<int>& frames)
      : folder_(folder), name_(name) {
    // A name keeps to its one line.
    std::string objectLine = "o ";
    for (char c : name_) objectLine += static_cast<unsigned char>(c) < 0x20 ? '_' : c;
    vertexText_ = ObjFrameText(objectLine + '\n');
    // The faces are the same in every frame.
    char number[16];
    for (const std::vector<int>& face : faces) {
      faceText_ += 'f';
      for (int index : face) {
        faceText_ += ' ';
        faceText_.append(number, std::to_chars(number, number + sizeof number, index + 1).ptr);
      }
      faceText_ += '\n';
    }
    try {
      makeFolder();
      checkNames(frames);
    } catch (...) {
      removeCreatedFolders();
      throw;
    }
  }
  ~ObjWriter() override {
    first_.reset();
    files_.clear();  // removes every file not kept
    removeCreatedFolders();
  }
  void frame(int number, std::span<const HostVec3> vertices) override {
    std::unique_ptr<SafeOutput> out =
        first_ && number == firstFrame_ ? std::move(first_) : std::make_unique<SafeOutput>(fileFor(number));
    vertexText_.format(text_, number, vertices);
    out->write(text_);
    out->write(faceText_);
    out->finish();
    files_.push_back(std::move(out));
  }
  void finish() override {}
  void addFiles(std::vector<SafeOutput*>& files) override {
    for (const auto& file : files_) files.push_back(file.get());
  }

 private:
  // Makes the folder and those it lies in, noting which were missing.
  void makeFolder() {
    std::error_code ec;
    fs::path folder = pathOf(folder_).lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();  // a trailing separator
    if (fs::is_directory(folder, ec)) return;
    for (fs::path missing = folder; !missing.empty() && !fs::exists(missing, ec); missing = missing.parent_path()) {
      createdFolders_.push_back(missing);
      if (missing == missing.parent_path()) break;  // a root that is not there (a missing drive)
    }
    fs::create_directories(folder, ec);
    if (ec) throw BakeFailure("cannot create the folder " + folder_ + ": " + ec.message());
  }

  // A name that cannot be written fails now, not after the run; the first
  // frame's file is made.
  void checkNames(const std::vector<int>& frames) {
    using Entry = rillmark::FileStore::Entry;
    for (int frame : frames) {
      const std::string target = fileFor(frame);
      const Entry entry = rillmark::systemFileStore().entryAt(target);
      if (entry == Entry::Other) throw BakeFailure("cannot create " + target + ": something other than a file is there");
      if (entry == Entry::ReadOnlyFile) throw BakeFailure("cannot create " + target + ": the file there is read-only");
    }
    if (!frames.empty()) {
      first_ = std::make_unique<SafeOutput>(fileFor(frames.front()));
      firstFrame_ = frames.front();
    }
  }

  std::string fileFor(int frame) const { return utf8Of(pathOf(folder_) / pathOf(objFrameFileName(name_, frame))); }
  // Each only if left empty: once the frames are kept, none is.
  void removeCreatedFolders() {
    std::error_code ec;
    for (const fs::path& folder : createdFolders_)
      if (!fs::remove(folder, ec)) break;
  }

  std::string folder_;
  std::string name_;
  ObjFrameText vertexText_{""};
  std::string faceText_;
  std::string text_;  // one frame's, reused
  std::unique_ptr<SafeOutput> first_;
  int firstFrame_ = 0;
  std::vector<std::unique_ptr<SafeOutput>> files_;
  std::vector<fs::path> createdFolders_;
};

}  // namespace

void ObjFrameText::format(std::string& text, int frame, std::span<const HostVec3> vertices) {
  text = "# Rillmark bake, frame " + std::to_string(frame) + "\n" + objectLine_;
  numbers_.resize(vertices.size() * 3);
  const std::size_t start = text.size();
  // "v" and three numbers of at most 15 characters each ("-1.2345678e-38")
  // after a blank, and the line end.
  text.resize(start + vertices.size() * 50);
  char* p = text.data() + start;
  Number* number = numbers_.data();
  for (const HostVec3& v : vertices) {
    *p++ = 'v';
    for (const float f : {v.x, v.y, v.z}) {
      *p++ = ' ';
      const std::uint32_t bits = bitsOf(f);
      if (number->length == 0 || number->bits != bits) {
        number->bits = bits;
        number->length = static_cast<std::uint8_t>(std::to_chars(number->text, number->text + 15, f).ptr - number->text);
      }
      std::memcpy(p, number->text, number->length);
      p += number->length;
      ++number;
    }
    *p++ = '\n';
  }
  text.resize(static_cast<std::size_t>(p - text.data()));
}

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
  std::string header("POINTCACHE2", 12);  // with its NUL
  putLittle32(header, 1);
  putLittle32(header, static_cast<std::uint32_t>(points));
  putLittle32(header, bitsOf(startFrame));
  putLittle32(header, bitsOf(sampleRate));
  putLittle32(header, static_cast<std::uint32_t>(samples));
  return std::make_unique<PointCacheWriter>(path, points, samples, std::endian::little, header);
}

std::unique_ptr<FrameWriter> makeMddWriter(const std::string& path, int points, const std::vector<int>& frames,
                                           float fps) {
  std::string header;
  putBig32(header, static_cast<std::uint32_t>(frames.size()));
  putBig32(header, static_cast<std::uint32_t>(points));
  for (int f : frames) putBig32(header, bitsOf(static_cast<float>(static_cast<double>(f) / fps)));
  return std::make_unique<PointCacheWriter>(path, points, static_cast<int>(frames.size()), std::endian::big, header);
}

std::unique_ptr<FrameWriter> makeObjWriter(const std::string& folder, const std::string& name,
                                           std::vector<std::vector<int>> faces, const std::vector<int>& frames) {
  return std::make_unique<ObjWriter>(folder, name, faces, frames);
}

}  // namespace bake
