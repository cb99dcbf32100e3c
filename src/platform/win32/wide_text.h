// Conversions between the UTF-8 text the plug-in carries and the UTF-16 of
// the wide Windows calls, for the Win32 platform and its tests. The host
// gives object names in the ANSI code page; those stay bytes and reach
// Windows through the ANSI calls, or through wideFromAnsi.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rillmark {

// Nothing when the text is not valid UTF-8. NUL characters are kept.
std::optional<std::wstring> wideFromUtf8(std::string_view text);
std::wstring wideFromAnsi(std::string_view text);
// A lone surrogate becomes U+FFFD.
std::string utf8FromWide(std::wstring_view text);

}  // namespace rillmark
