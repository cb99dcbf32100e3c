// The file operations a safe save is made of: look at what a path holds,
// create a file that must not exist yet, write it, flush it to the disk,
// close it, put it in another file's place, and remove it. The preset save
// and the bake program's outputs use them; the system's implementation is
// picked by what the build links (posix/ or win32/), and tests wrap it to
// make any one operation fail.
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
  // Sets aside the disk space for the file's bytes from `begin` to `end`
  // ahead of writing them, so that the writes find it ready. A hint: false
  // when it was not done (no room, or no such call), and the writes then
  // find out for themselves.
  virtual bool reserve(Handle file, std::uint64_t begin, std::uint64_t end) = 0;
  // Through the system's caches to the disk.
  virtual bool flush(Handle file) = 0;
  // Starts writing the file's bytes from `begin` to `end` to the disk and
  // waits until those before `begin` are there, so that a long file
  // written in pieces never has much left for flush() to do. A hint: a
  // failure shows at flush().
  virtual void writeBack(Handle file, std::uint64_t begin, std::uint64_t end) = 0;
  // Releases the handle whatever the result.
  virtual bool close(Handle file) = 0;

  // Moves `from` over `to` in one step: afterwards `to` is either its old
  // self or the whole of `from`. Both lie in the same folder. The new
  // name is on the disk once the folder is synced.
  virtual bool move(const std::string& from, const std::string& to) = 0;
  // Makes the names in the folder durable. A failure is no failure of the
  // moves before it, which have happened: it is not reported.
  virtual void syncFolder(const std::string& folder) = 0;
  // A move made durable at once.
  bool replace(const std::string& from, const std::string& to) {
    if (!move(from, to)) return false;
    syncFolder(folderOf(to));
    return true;
  }
  virtual bool remove(const std::string& path) = 0;

  // Why the operation that failed last on this thread failed, in the
  // system's words ("no space left on device"); asked right after it.
  virtual std::string lastError() { return "the system gave no reason"; }

  // The folder part of a path ("." for a bare name).
  static std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
  }
};

// The system's own file operations.
FileStore& systemFileStore();

}  // namespace rillmark
