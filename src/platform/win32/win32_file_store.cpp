// The file store on the wide Win32 calls: CreateFileW with CREATE_NEW,
// FlushFileBuffers, and MoveFileExW, which replaces the target in one step
// and, written through, needs no folder sync.
// Paths arrive as UTF-8 and meet Windows as UTF-16.
#include "platform/file_store.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace rillmark {

namespace {

HANDLE handleOf(FileStore::Handle file) { return reinterpret_cast<HANDLE>(file); }

class Win32FileStore : public FileStore {
 public:
  Entry entryAt(const std::string& path) override {
    const auto wide = wideFromUtf8(path);
    if (!wide) return Entry::None;
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Entry::None;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return Entry::Other;
    return (attributes & FILE_ATTRIBUTE_READONLY) ? Entry::ReadOnlyFile : Entry::File;
  }

  bool createNew(const std::string& path, Handle& file) override {
    const auto wide = wideFromUtf8(path);
    if (!wide) return false;
    const HANDLE handle =
        CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    file = reinterpret_cast<Handle>(handle);
    return true;
  }

  bool write(Handle file, std::string_view bytes) override {
    while (!bytes.empty()) {
      const DWORD chunk = bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
      DWORD written = 0;
      if (!WriteFile(handleOf(file), bytes.data(), chunk, &written, nullptr) || written == 0) return false;
      bytes.remove_prefix(written);
    }
    return true;
  }

  // Windows sets the space aside as the file grows.
  bool reserve(Handle, std::uint64_t, std::uint64_t) override { return false; }

  bool flush(Handle file) override { return FlushFileBuffers(handleOf(file)) != 0; }

  // Windows has no call that only starts the write-back: the file is
  // flushed now, which leaves the last piece for flush().
  void writeBack(Handle file, std::uint64_t begin, std::uint64_t) override {
    if (begin > 0) FlushFileBuffers(handleOf(file));
  }

  bool close(Handle file) override { return CloseHandle(handleOf(file)) != 0; }

  // Replacing fails on a read-only target; the caller refuses those first.
  // Written through, so the new name is on the disk at once.
  bool move(const std::string& from, const std::string& to) override {
    const auto wideFrom = wideFromUtf8(from);
    const auto wideTo = wideFromUtf8(to);
    if (!wideFrom || !wideTo) return false;
    return MoveFileExW(wideFrom->c_str(), wideTo->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }

  void syncFolder(const std::string&) override {}

  bool remove(const std::string& path) override {
    const auto wide = wideFromUtf8(path);
    return wide && DeleteFileW(wide->c_str()) != 0;
  }

  // The system's text, without its closing period and line end, and with
  // a small first letter, to follow a colon.
  std::string lastError() override {
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = length && text ? utf8FromWide(std::wstring_view(text, length)) : std::string();
    if (text) LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.' || reason.back() == ' '))
      reason.pop_back();
    if (reason.empty()) return "system error " + std::to_string(code);
    if (reason[0] >= 'A' && reason[0] <= 'Z') reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    return reason;
  }
};

}  // namespace

FileStore& systemFileStore() {
  static Win32FileStore store;
  return store;
}

}  // namespace rillmark
