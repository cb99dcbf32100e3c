#include "safe_output.h"

#include <algorithm>

#include "bake_error.h"
#include "file_names.h"
#include "platform/temporary_name.h"

namespace bake {

namespace {

// Writes go to the system in pieces of this size.
constexpr std::size_t kBufferBytes = 1 << 20;
// The system is asked to start writing a file to the disk after each
// such piece of it, and to finish the piece before, so that flushing a
// file of any size at the end takes a moment (and Ctrl-C with it), even
// on a slow disk.
constexpr std::uint64_t kWriteBackBytes = 8 << 20;
// Space is set aside in pieces of this size, each a moment's work, so that
// a frame to write never waits long behind one.
constexpr std::uint64_t kReserveBytes = 2 << 20;

}  // namespace

std::string SafeOutput::freshNameBeside() const {
  return utf8Of(pathOf(target_).parent_path() / pathOf(rillmark::temporaryFileName(".rillmark-bake-")));
}

SafeOutput::SafeOutput(std::string target, rillmark::FileStore& files) : target_(std::move(target)), files_(files) {
  using Entry = rillmark::FileStore::Entry;
  const Entry entry = files_.entryAt(target_);
  if (entry == Entry::Other) throw BakeFailure("cannot create " + target_ + ": something other than a file is there");
  if (entry == Entry::ReadOnlyFile) throw BakeFailure("cannot create " + target_ + ": the file there is read-only");
  // A taken name (however unlikely) costs another try under a new one.
  std::string why;
  for (int attempt = 0; attempt < 4 && !open_; ++attempt) {
    temporary_ = freshNameBeside();
    open_ = files_.createNew(temporary_, file_);
    if (!open_) why = files_.lastError();
  }
  if (!open_) throw BakeFailure("cannot create " + target_ + ": " + why);
}

SafeOutput::~SafeOutput() {
  if (kept_) return;
  if (placed_) undo();
  if (open_) files_.close(file_);
  files_.remove(temporary_);
}

void SafeOutput::failed(const std::string& what, const std::string& why) {
  if (open_) files_.close(file_);
  open_ = false;
  failed_ = true;
  throw BakeFailure(what + " " + target_ + ": " + why);
}

void SafeOutput::writeOut(std::string_view bytes) {
  if (!files_.write(file_, bytes)) failed("cannot write", files_.lastError());
  written_ += bytes.size();
  if (written_ - writtenBack_ >= kWriteBackBytes) {
    files_.writeBack(file_, writtenBack_, written_);
    writtenBack_ = written_;
  }
}

void SafeOutput::flushBuffer() {
  if (buffer_.empty()) return;
  writeOut(buffer_);
  buffer_.clear();
}

void SafeOutput::write(std::string_view bytes) {
  if (!open_ || failed_) failed("cannot write", "the file is already closed");
  if (buffer_.capacity() < kBufferBytes) buffer_.reserve(kBufferBytes);
  if (buffer_.size() + bytes.size() > kBufferBytes) flushBuffer();
  if (bytes.size() >= kBufferBytes) {
    writeOut(bytes);
    return;
  }
  buffer_.append(bytes);
}

void SafeOutput::finish() {
  if (failed_) failed("cannot write", "an earlier write failed");
  if (!open_) return;
  flushBuffer();
  std::string().swap(buffer_);
  if (!files_.flush(file_)) failed("cannot write", files_.lastError());
  open_ = false;
  // A failed close may have lost data.
  if (!files_.close(file_)) failed("cannot write", files_.lastError());
}

bool SafeOutput::prepare() {
  if (!open_ || failed_) return false;
  const std::uint64_t from = std::max(reserved_, written_ + buffer_.size());
  if (from >= expected_) return false;
  const std::uint64_t to = std::min(expected_, from + kReserveBytes);
  if (!files_.reserve(file_, from, to)) {
    expected_ = 0;
    return false;
  }
  reserved_ = to;
  return reserved_ < expected_;
}

bool SafeOutput::place(std::string& why) {
  if (placed_) return true;
  if (open_ || failed_) {
    why = "the file is not finished";
    return false;
  }
  if (files_.entryAt(target_) != rillmark::FileStore::Entry::None) {
    const std::string aside = freshNameBeside();
    if (!files_.move(target_, aside)) {
      why = files_.lastError();
      return false;
    }
    replaced_ = aside;
  }
  if (!files_.move(temporary_, target_)) {
    why = files_.lastError();
    if (!replaced_.empty() && files_.move(replaced_, target_)) replaced_.clear();
    return false;
  }
  placed_ = true;
  return true;
}

void SafeOutput::undo() {
  if (!placed_) return;
  placed_ = false;
  if (!replaced_.empty()) {
    if (files_.move(replaced_, target_)) replaced_.clear();
  } else {
    files_.remove(target_);
  }
}

void SafeOutput::keep() {
  if (!replaced_.empty()) files_.remove(replaced_);
  replaced_.clear();
  kept_ = true;
}

}  // namespace bake
