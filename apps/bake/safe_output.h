// An output file that appears under its name only when it is whole. The
// bytes go to a new file of a fresh name beside the target; place() puts it
// in the target's place, keeping what was there under another fresh name
// until keep() or undo(), so that a set of outputs can be put in place all
// together or not at all (output_commit.h). A SafeOutput destroyed before
// keep() puts back what it replaced and removes its own file, so nothing
// half-written is ever left under the output's name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_store.h"

namespace bake {

class SafeOutput {
 public:
  // Throws BakeFailure "cannot create <target>: <why>" when a folder or a
  // read-only file is in the way or no file can be made beside it.
  explicit SafeOutput(std::string target, rillmark::FileStore& files = rillmark::systemFileStore());
  ~SafeOutput();
  SafeOutput(const SafeOutput&) = delete;
  SafeOutput& operator=(const SafeOutput&) = delete;

  // Throws BakeFailure "cannot write <target>: <why>".
  void write(std::string_view bytes);
  // Writes out, flushes and closes the file, still under its own name, and
  // lets go of the buffer. Throws as write() does.
  void finish();

  // The file will hold `bytes` in all, so its space may be set aside
  // ahead of the writing (prepare()).
  void expectSize(std::uint64_t bytes) { expected_ = bytes; }
  // Sets aside the space of the next piece of the file not yet written;
  // false once there is nothing more to set aside (or the system cannot).
  // Not while another thread writes the file.
  bool prepare();

  // Puts the finished file in the target's place. On failure nothing has
  // changed and `why` says what the system said. Neither this nor undo()
  // syncs the folder: the caller does, once for all its files.
  bool place(std::string& why);
  // Puts back what place() replaced (or removes the target if nothing was
  // there); the new file is gone.
  void undo();
  // Lets go of what place() replaced: the new file stays.
  void keep();

  // Makes the names in the target's folder durable (after place() or
  // undo()).
  void syncFolder() { files_.syncFolder(folder()); }
  std::string folder() const { return rillmark::FileStore::folderOf(target_); }

  const std::string& target() const { return target_; }
  const std::string& temporary() const { return temporary_; }

 private:
  void flushBuffer();
  void writeOut(std::string_view bytes);
  [[noreturn]] void failed(const std::string& what, const std::string& why);
  std::string freshNameBeside() const;

  std::string target_;
  std::string temporary_;
  std::string replaced_;  // what place() moved aside, if anything
  rillmark::FileStore& files_;
  rillmark::FileStore::Handle file_{};
  bool open_ = false;
  bool placed_ = false;
  bool kept_ = false;
  bool failed_ = false;
  std::string buffer_;
  std::uint64_t written_ = 0;      // bytes handed to the system
  std::uint64_t writtenBack_ = 0;  // of those, the ones it was asked to write to the disk
  std::uint64_t expected_ = 0;     // the whole file's, if known
  std::uint64_t reserved_ = 0;     // set aside up to here
};

}  // namespace bake
