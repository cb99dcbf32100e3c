#include "safe_output.h"

#include <filesystem>

#include "bake_error.h"
#include "platform/temporary_name.h"

namespace bake {

namespace {

namespace fs = std::filesystem;

// Writes go to the system in pieces of this size.
constexpr std::size_t kBufferBytes = 1 << 20;

}  // namespace

SafeOutput::SafeOutput(std::string target, rillmark::FileStore& files) : target_(std::move(target)), files_(files) {
  using Entry = rillmark::FileStore::Entry;
  const Entry entry = files_.entryAt(target_);
  if (entry == Entry::Other) throw BakeFailure("cannot create " + target_ + ": something other than a file is there");
  if (entry == Entry::ReadOnlyFile) throw BakeFailure("cannot create " + target_ + ": the file there is read-only");
  fs::path folder = fs::path(target_).parent_path();
  // A taken name (however unlikely) costs another try under a new one.
  for (int attempt = 0; attempt < 4 && !open_; ++attempt) {
    temporary_ = (folder / rillmark::temporaryFileName(".rillmark-bake-")).string();
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
