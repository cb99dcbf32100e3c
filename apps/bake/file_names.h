// File names as the bake program carries them: UTF-8 text, whatever the
// system. On Windows a std::filesystem::path made from a plain string reads
// it in the ANSI code page, which has no room for most of the world's
// letters; these two go through UTF-8 instead.
#pragma once

#include <filesystem>
#include <string>

namespace bake {

inline std::filesystem::path pathOf(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace bake
