// A FileStore over the system's own that fails on demand, the way journal
// tests of a database inject faults: the n-th operation that changes
// something fails (create, write, flush, close, move, remove), or a
// write stops after a given number of bytes, as on a disk that fills up
// there. It counts and logs the operations, so a test can first run a whole
// save and then fail it at each of its steps.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_store.h"

namespace rillmark::testing {

class FailingFileStore : public FileStore {
 public:
  explicit FailingFileStore(FileStore& real = systemFileStore()) : real_(real) {}

  int failAt = 0;                        // operation number (from 1) that fails; 0 for none
  std::optional<std::size_t> diskFullAt;  // file bytes a write stores before failing
  bool createsFail = false;              // every creation fails, as in a read-only folder
  bool removesFail = false;              // every remove fails
  // Called with the path before each creation, so a test can put a file of
  // its own under the very name the save picked.
  std::function<void(const std::string&)> beforeCreate;
  // Called with its number before each operation that can fail, so that a
  // test can act between two of them (raise the stop flag, say).
  std::function<void(int)> beforeEach;

  int operations = 0;
  std::vector<std::string> log;  // "create <path>", "write", "flush", ...
  std::vector<std::string> created;
  std::vector<std::string> syncedFolders;  // in order, each time

  Entry entryAt(const std::string& path) override { return real_.entryAt(path); }

  bool createNew(const std::string& path, Handle& file) override {
    if (beforeCreate) beforeCreate(path);
    if (fails("create " + path) || createsFail) return false;
    if (!real_.createNew(path, file)) return false;
    created.push_back(path);
    return true;
  }

  bool write(Handle file, std::string_view bytes) override {
    if (fails("write")) return false;
    if (diskFullAt && written_ + bytes.size() > *diskFullAt) {
      real_.write(file, bytes.substr(0, *diskFullAt - written_));
      written_ = *diskFullAt;
      return false;
    }
    written_ += bytes.size();
    return real_.write(file, bytes);
  }

  bool flush(Handle file) override { return !fails("flush") && real_.flush(file); }

  // Hints, like the folder syncs: never failed.
  bool reserve(Handle file, std::uint64_t begin, std::uint64_t end) override {
    return real_.reserve(file, begin, end);
  }
  void writeBack(Handle file, std::uint64_t begin, std::uint64_t end) override { real_.writeBack(file, begin, end); }

  // The handle is released even when the close is made to fail.
  bool close(Handle file) override {
    const bool failed = fails("close");
    return real_.close(file) && !failed;
  }

  bool move(const std::string& from, const std::string& to) override {
    return !fails("move") && real_.move(from, to);
  }

  void syncFolder(const std::string& folder) override {
    syncedFolders.push_back(folder);
    real_.syncFolder(folder);
  }

  bool remove(const std::string& path) override {
    if (fails("remove") || removesFail) return false;
    return real_.remove(path);
  }

 private:
  bool fails(const std::string& what) {
    log.push_back(what);
    if (beforeEach) beforeEach(operations + 1);
    return ++operations == failAt;
  }

  FileStore& real_;
  std::size_t written_ = 0;
};

}  // namespace rillmark::testing
