// The file operations a safe save is made of: look at what a path holds,
// create a file that must not exist yet, write it, flush it to the disk,
// close it, put it in another file's place, and remove it. The preset save
// uses them; the system's implementation is picked by what the build links
// (posix/ or win32/), and tests wrap it to make any one operation fail.
//
// Paths are UTF-8. Every operation reports failure by its result and never
// throws, so the caller decides what a failure means and can always clean up.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rillmark {

class FileStore {
 public:
  // An open file: a descriptor or system handle.
  using Handle = std::intptr_t;

  enum class Entry {
    None,          // nothing by that name (or nothing that can be looked at)
    File,          // a file that may be written
    ReadOnlyFile,  // a file marked read-only
    Other,         // a folder or anything else that is not a plain file
  };

  virtual ~FileStore() = default;

  virtual Entry entryAt(const std::string& path) = 0;

  // Creates and opens the file only if nothing of that name exists, so an
  // existing file is never opened, truncated or taken over. False when the
  // name exists or the file cannot be made.
  virtual bool createNew(const std::string& path, Handle& file) = 0;
  // True only when every byte was written.
  virtual bool write(Handle file, std::string_view bytes) = 0;
  // Through the system's caches to the disk.
  virtual bool flush(Handle file) = 0;
  // Releases the handle whatever the result.
  virtual bool close(Handle file) = 0;

  // Moves `from` over `to` in one step: afterwards `to` is either its old
  // self or the whole of `from`. Both lie in the same folder.
  virtual bool replace(const std::string& from, const std::string& to) = 0;
  virtual bool remove(const std::string& path) = 0;

  // Why the operation that failed last on this thread failed, in the
  // system's words ("no space left on device"); asked right after it.
  virtual std::string lastError() { return "the system gave no reason"; }
};

// The system's own file operations.
FileStore& systemFileStore();

}  // namespace rillmark
