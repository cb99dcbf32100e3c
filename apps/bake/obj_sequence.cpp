#include "obj_sequence.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <filesystem>
#include <system_error>

#include "bake_error.h"
#include "file_names.h"

namespace bake {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void badPattern(const std::string& pattern) {
  throw UsageError("--obj-sequence '" + pattern +
                   "': the name needs one frame number, as a run of '#' (shot_####.obj) or as %d or %04d");
}

}  // namespace

FramePattern::FramePattern(const std::string& pattern) {
  const std::size_t hash = pattern.find('#');
  const std::size_t percent = pattern.find('%');
  if ((hash == std::string::npos) == (percent == std::string::npos)) badPattern(pattern);
  std::size_t end = 0;
  if (hash != std::string::npos) {
    end = pattern.find_first_not_of('#', hash);
    if (end == std::string::npos) end = pattern.size();
    width_ = static_cast<int>(end - hash);
    before_ = pattern.substr(0, hash);
  } else {
    // %d or %0Nd, with at most two digits of width.
    std::size_t i = percent + 1;
    int width = 0;
    if (i < pattern.size() && pattern[i] == '0') {
      ++i;
      const std::size_t digits = i;
      while (i < pattern.size() && i - digits < 2 && pattern[i] >= '0' && pattern[i] <= '9')
        width = width * 10 + (pattern[i++] - '0');
      if (i == digits) badPattern(pattern);
    }
    if (i >= pattern.size() || pattern[i] != 'd') badPattern(pattern);
    end = i + 1;
    width_ = width;
    before_ = pattern.substr(0, percent);
  }
  after_ = pattern.substr(end);
  if (after_.find('#') != std::string::npos || after_.find('%') != std::string::npos) badPattern(pattern);
}

std::string FramePattern::fileFor(int frame) const {
  std::string digits = std::to_string(frame < 0 ? -static_cast<long long>(frame) : frame);
  if (static_cast<int>(digits.size()) < width_) digits.insert(0, static_cast<std::size_t>(width_) - digits.size(), '0');
  return before_ + (frame < 0 ? "-" : "") + digits + after_;
}

std::optional<std::pair<int, int>> FramePattern::framesOnDisk() const {
  const fs::path prefix = pathOf(before_);
  fs::path folder = prefix.parent_path();
  const std::string stem = utf8Of(prefix.filename());
  if (folder.empty()) folder = ".";
  // The suffix must not reach into the folder part: "a/%d/b.obj" is not
  // a sequence of files in one folder.
  if (after_.find('/') != std::string::npos || after_.find('\\') != std::string::npos) return std::nullopt;
  std::optional<std::pair<int, int>> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = utf8Of(it->path().filename());
    if (name.size() <= stem.size() + after_.size()) continue;
    if (name.compare(0, stem.size(), stem) != 0) continue;
    if (name.compare(name.size() - after_.size(), after_.size(), after_) != 0) continue;
    const std::string_view digits(name.data() + stem.size(), name.size() - stem.size() - after_.size());
    if (digits.find_first_not_of("0123456789") != std::string_view::npos) continue;
    int frame = 0;
    const auto [p, error] = std::from_chars(digits.data(), digits.data() + digits.size(), frame);
    if (error != std::errc() || p != digits.data() + digits.size()) continue;
    // "0007" is frame 7 of "####", but not of "%d".
    if (utf8Of(pathOf(fileFor(frame)).filename()) != name) continue;
    if (!found) {
      found = std::pair{frame, frame};
    } else {
      found->first = std::min(found->first, frame);
      found->second = std::max(found->second, frame);
    }
  }
  return found;
}

}  // namespace bake
