#include "scene/effector_prefix.h"

namespace rillmark {

std::string upperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  return upperAscii(text.substr(0, prefix.size())) == upperAscii(prefix);
}

bool hasEffectorPrefix(std::string_view name) { return startsWithIgnoringAsciiCase(name, "EFFECTOR"); }

}  // namespace rillmark
