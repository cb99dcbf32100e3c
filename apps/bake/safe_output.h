// An output file that appears under its name only when it is whole. The
// bytes go to a new file of a fresh name beside the target; commit() puts
// it in the target's place in one step, and a SafeOutput that is never
// committed (a failure, an interrupted run) removes its file again, so
// nothing half-written is ever left under the output's name.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_store.h"

namespace bake {

class SafeOutput {
 public:
  // Throws BakeFailure "cannot create <target>: ..." when a folder or a
  // read-only file is in the way or no file can be made beside it.
  explicit SafeOutput(std::string target, rillmark::FileStore& files = rillmark::systemFileStore());
  ~SafeOutput();
  SafeOutput(const SafeOutput&) = delete;
  SafeOutput& operator=(const SafeOutput&) = delete;

  // Throws BakeFailure "cannot write <target>".
  void write(std::string_view bytes);
  // Writes out, flushes and closes the file, still under its own name.
  // Optional before commit().
  void finish();
  // Replaces the target by the file.
  void commit();

  const std::string& target() const { return target_; }
  const std::string& temporary() const { return temporary_; }

 private:
  void flushBuffer();
  [[noreturn]] void failed(const std::string& what);

  std::string target_;
  std::string temporary_;
  rillmark::FileStore& files_;
  rillmark::FileStore::Handle file_{};
  bool open_ = false;
  bool committed_ = false;
  bool failed_ = false;
  std::string buffer_;
};

}  // namespace bake
