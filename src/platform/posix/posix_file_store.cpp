// The file store on POSIX calls: exclusive creation with O_EXCL, fsync,
// and rename, which replaces the target in one step.
#include "platform/file_store.h"

#include <cerrno>
#include <cctype>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rillmark {

namespace {

// The folder part of a path, for syncing the folder after a rename.
std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

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

  bool flush(Handle file) override { return ::fsync(static_cast<int>(file)) == 0; }

  // Not retried on EINTR: on Linux the descriptor is released either way.
  bool close(Handle file) override { return ::close(static_cast<int>(file)) == 0; }

  bool replace(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return false;
    // Makes the new name itself durable. The file is in place already, so
    // a failure here is no failure of the replacement.
    const int folder = ::open(folderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      ::fsync(folder);
      ::close(folder);
    }
    return true;
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
