// The record tsxGetData fills in host memory (100 bytes): the name at 0
// (32 bytes), the author at 32 (64 bytes), Code1 at 96 and Code2 at 98.
// Only the characters of each text and their terminating NUL are written;
// the rest of each field is the host's and stays as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rillmark {

inline constexpr std::size_t kDescriptionSize = 100;
inline constexpr std::size_t kDescriptionNameOffset = 0;
inline constexpr std::size_t kDescriptionAuthorOffset = 32;
inline constexpr std::size_t kDescriptionCode1Offset = 96;
inline constexpr std::size_t kDescriptionCode2Offset = 98;

// Texts longer than their field allows are cut (31 and 63 characters).
void WritePluginDescription(void* record, const std::string& name, const std::string& author, std::int16_t code1,
                            std::int16_t code2);

}  // namespace rillmark
