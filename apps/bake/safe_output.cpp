#include "safe_output.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>

#include "bake_error.h"

namespace bake {

namespace {

namespace fs = std::filesystem;

// Writes go to the system in pieces of this size.
constexpr std::size_t kBufferBytes = 1 << 20;

std::string freshName() {
  static std::atomic<std::uint64_t> counter{0};
  static const std::uint64_t seed = std::random_device{}();
  std::uint64_t x = seed ^ (++counter * 0x9E3779B97F4A7C15ull) ^
                    static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  x ^= x >> 31;
  char name[48];
  std::snprintf(name, sizeof name, ".rillmark-bake-%016llx.tmp", static_cast<unsigned long long>(x));
  return name;
}

}  // namespace

SafeOutput::SafeOutput(std::string target, rillmark::FileStore& files) : target_(std::move(target)), files_(files) {
  using Entry = rillmark::FileStore::Entry;
  const Entry entry = files_.entryAt(target_);
  if (entry == Entry::Other) throw BakeFailure("cannot create " + target_ + ": something other than a file is there");
  if (entry == Entry::ReadOnlyFile) throw BakeFailure("cannot create " + target_ + ": the file there is read-only");
  fs::path folder = fs::path(target_).parent_path();
  // A taken name (however unlikely) costs another try under a new one.
  for (int attempt = 0; attempt < 4 && !open_; ++attempt) {
    temporary_ = (folder / freshName()).string();
    open_ = files_.createNew(temporary_, file_);
  }
  if (!open_) throw BakeFailure("cannot create " + target_ + ": no file can be made in its folder");
  buffer_.reserve(kBufferBytes);
}

SafeOutput::~SafeOutput() {
  if (committed_) return;
  if (open_) files_.close(file_);
  files_.remove(temporary_);
}

void SafeOutput::failed(const std::string& what) {
  if (open_) files_.close(file_);
  open_ = false;
  failed_ = true;
  throw BakeFailure(what + " " + target_);
}

void SafeOutput::flushBuffer() {
  if (buffer_.empty()) return;
  if (!files_.write(file_, buffer_)) failed("cannot write");
  buffer_.clear();
}

void SafeOutput::write(std::string_view bytes) {
  if (!open_ || failed_) failed("cannot write");
  buffer_.append(bytes);
  if (buffer_.size() >= kBufferBytes) flushBuffer();
}

void SafeOutput::finish() {
  if (!open_) return;
  flushBuffer();
  if (!files_.flush(file_)) failed("cannot write");
  open_ = false;
  // A failed close may have lost data.
  if (!files_.close(file_)) failed("cannot write");
}

void SafeOutput::commit() {
  if (committed_) return;
  if (failed_) failed("cannot write");
  finish();
  if (!files_.replace(temporary_, target_)) failed("cannot replace");
  committed_ = true;
}

}  // namespace bake
