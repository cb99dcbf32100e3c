#include "soak_presets.h"

#include <cctype>
#include <utility>

namespace rillmark::testhost::soak {

namespace {

enum class Read { Done, Missing, Refused };

Read readOnce(const std::wstring& path, std::string& out) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Read::Missing : Read::Refused;
  }
  out.clear();
  char buffer[4096];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(f, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) out.append(buffer, got);
  CloseHandle(f);
  return ok ? Read::Done : Read::Refused;
}

}  // namespace

bool readFile(const std::wstring& path, std::string& out) { return readOnce(path, out) == Read::Done; }

bool writeFile(const std::wstring& path, const std::string& content) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &wrote, nullptr);
  CloseHandle(f);
  return wrote == content.size();
}

std::size_t lineCount(const std::string& text) {
  std::size_t n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

bool isCompletePreset(const std::string& text, std::size_t lines) {
  if (lines == 0 || lineCount(text) != lines || text.size() < 3 || text.compare(text.size() - 2, 2, "\r\n") != 0)
    return false;
  std::size_t start = 0, last = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) {
    if (at == start) return false;  // an empty line
    last = start;
    start = at + 2;
  }
  for (std::size_t i = last; i < text.size() - 2; ++i)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

bool leftoverTemporaries(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE h = FindFirstFileW((folder + L".rillmark-save-*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return false;
  FindClose(h);
  return true;
}

PresetWatcher::PresetWatcher(std::wstring path, bool existed, std::string before, bool newAllowed, std::size_t lines)
    : path_(std::move(path)),
      existed_(existed),
      before_(std::move(before)),
      newAllowed_(newAllowed),
      lines_(lines),
      thread_([this] { run(); }) {}

PresetWatcher::~PresetWatcher() { finish(); }

std::string PresetWatcher::finish() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  return problem_;
}

std::string PresetWatcher::judge(bool exists, const std::string& content) const {
  if (!exists) return existed_ ? "the file was gone" : "";
  if (existed_ && content == before_) return "";
  if (newAllowed_ && isCompletePreset(content, lines_)) return "";
  return "the file held " + std::to_string(lineCount(content)) + " lines, " + std::to_string(content.size()) +
         " bytes, neither its old content nor a complete preset";
}

void PresetWatcher::run() {
  std::string content;
  while (!stop_ && problem_.empty()) {
    const Read read = readOnce(path_, content);
    if (read != Read::Refused) {
      ++reads_;
      problem_ = judge(read == Read::Done, content);
    }
    Sleep(1);
  }
}

}  // namespace rillmark::testhost::soak
