#include "platform/win32/wide_text.h"

#include <windows.h>

namespace rillmark {

namespace {

std::optional<std::wstring> widen(std::string_view text, UINT codePage, DWORD flags) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), needed);
  return wide;
}

}  // namespace

std::optional<std::wstring> wideFromUtf8(std::string_view text) {
  // Without the flag, invalid bytes would silently become U+FFFD.
  return widen(text, CP_UTF8, MB_ERR_INVALID_CHARS);
}

std::wstring wideFromAnsi(std::string_view text) { return widen(text, CP_ACP, 0).value_or(std::wstring()); }

std::string utf8FromWide(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, narrow.data(), needed, nullptr, nullptr);
  return narrow;
}

}  // namespace rillmark
