#include "safe_output.h"

#include "bake_error.h"
#include "file_names.h"
#include "platform/temporary_name.h"

namespace bake {

namespace {

// Writes go to the system in pieces of this size.
constexpr std::size_t kBufferBytes = 1 << 20;

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

void SafeOutput::flushBuffer() {
  if (buffer_.empty()) return;
  if (!files_.write(file_, buffer_)) failed("cannot write", files_.lastError());
  buffer_.clear();
}

void SafeOutput::write(std::string_view bytes) {
  if (!open_ || failed_) failed("cannot write", "the file is already closed");
  if (buffer_.capacity() < kBufferBytes) buffer_.reserve(kBufferBytes);
  if (buffer_.size() + bytes.size() > kBufferBytes) flushBuffer();
  if (bytes.size() >= kBufferBytes) {
    if (!files_.write(file_, bytes)) failed("cannot write", files_.lastError());
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

bool SafeOutput::place(std::string& why) {
  if (placed_) return true;
  if (open_ || failed_) {
    why = "the file is not finished";
    return false;
  }
  if (files_.entryAt(target_) != rillmark::FileStore::Entry::None) {
    const std::string aside = freshNameBeside();
    if (!files_.replace(target_, aside)) {
      why = files_.lastError();
      return false;
    }
    replaced_ = aside;
  }
  if (!files_.replace(temporary_, target_)) {
    why = files_.lastError();
    if (!replaced_.empty() && files_.replace(replaced_, target_)) replaced_.clear();
    return false;
  }
  placed_ = true;
  return true;
}

void SafeOutput::undo() {
  if (!placed_) return;
  placed_ = false;
  if (!replaced_.empty()) {
    if (files_.replace(replaced_, target_)) replaced_.clear();
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
