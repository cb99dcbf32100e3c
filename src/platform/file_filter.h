// The filter of a standard file dialog as the Windows dialogs want it.
// Callers write "Description|*.ext" (several pairs separated by "|" as
// well); the dialog wants each part ended by a NUL and the whole list ended
// by a second NUL.
#pragma once

#include <string>

namespace rillmark {

inline std::string nulSeparatedFilter(const std::string& filter) {
  std::string result = filter;
  for (char& c : result)
    if (c == '|') c = '\0';
  // A trailing "|" already ended the last part.
  if (!result.empty() && result.back() != '\0') result.push_back('\0');
  result.push_back('\0');
  return result;
}

}  // namespace rillmark
