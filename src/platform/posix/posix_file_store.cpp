// The file store on POSIX calls: exclusive creation with O_EXCL, fsync,
// and rename, which replaces the target in one step. On Linux a file's
// space can be set aside ahead of the writing (fallocate), and the
// write-back of a long file is started as it is written
// (sync_file_range).
#include "platform/file_store.h"

#include <cerrno>
#include <cctype>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rillmark {

namespace {

class PosixFileStore : public FileStore {
 public:
  Entry entryAt(const std::string& path) override {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return Entry::None;
    if (!S_ISREG(info.st_mode)) return Entry::Other;
    // The owner's write bit is what "read-only" means to the user; it is
    // read from the mode, so it holds for root too, who could write anyway.
    return (info.st_mode & S_IWUSR) != 0 ? Entry::File : Entry::ReadOnlyFile;
  }

  bool createNew(const std::string& path, Handle& file) override {
    int fd;
    do {
      fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    file = fd;
    return true;
  }

  bool write(Handle file, std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t written = ::write(static_cast<int>(file), bytes.data(), bytes.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
  }

  bool reserve([[maybe_unused]] Handle file, [[maybe_unused]] std::uint64_t begin,
               [[maybe_unused]] std::uint64_t end) override {
#ifdef __linux__
    return end <= begin || ::fallocate(static_cast<int>(file), FALLOC_FL_KEEP_SIZE, static_cast<off_t>(begin),
                                       static_cast<off_t>(end - begin)) == 0;
#else
    return false;
#endif
  }

  bool flush(Handle file) override { return ::fsync(static_cast<int>(file)) == 0; }

  void writeBack([[maybe_unused]] Handle file, [[maybe_unused]] std::uint64_t begin,
                 [[maybe_unused]] std::uint64_t end) override {
#ifdef __linux__
    const int fd = static_cast<int>(file);
    if (begin > 0)
      ::sync_file_range(fd, 0, static_cast<off_t>(begin),
                        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    if (end > begin) ::sync_file_range(fd, static_cast<off_t>(begin), static_cast<off_t>(end - begin), SYNC_FILE_RANGE_WRITE);
#endif
  }

  // Not retried on EINTR: on Linux the descriptor is released either way.
  bool close(Handle file) override { return ::close(static_cast<int>(file)) == 0; }

  bool move(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0;
  }

  void syncFolder(const std::string& path) override {
    const int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    ::fsync(folder);
    ::close(folder);
  }

  bool remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

  std::string lastError() override {
    std::string reason = std::strerror(errno);
    if (!reason.empty()) reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    return reason;
  }
};

}  // namespace

FileStore& systemFileStore() {
  static PosixFileStore store;
  return store;
}

}  // namespace rillmark
