// Name matching of the effector list: ASCII-only upper-casing and the
// "EFFECTOR" prefix that marks an object as an effector.
#pragma once

#include <string>
#include <string_view>

namespace rillmark {

// Upper-cases a-z only; every other byte stays as it is.
std::string upperAscii(std::string_view text);

// True when the first prefix.size() bytes of text, upper-cased, equal
// prefix upper-cased. A text shorter than the prefix never matches.
bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

// "EFFECTOR" in any ASCII case at the start of the name.
bool hasEffectorPrefix(std::string_view name);

}  // namespace rillmark
