// The floating-point state every export starts from: all exceptions masked,
// rounding to nearest. The host may call us with any control words set;
// with them masked, division by zero and overflow give infinities or NaNs
// instead of traps. The x87 word also selects 64-bit precision (the host's
// float results come back on the x87 stack); MXCSR matters too, since the
// core computes with SSE2.
#pragma once

#include <cstdint>

namespace rillmark {

inline constexpr std::uint16_t kFloatControlWord = 0x133F;
// All six SSE exceptions masked, round to nearest, no flush-to-zero or
// denormals-are-zero, no sticky flags.
inline constexpr std::uint32_t kSseControlWord = 0x1F80;

void ResetFloatControl();

// The current words, for tests; 0 on processors without them.
std::uint16_t currentFloatControlWord();
std::uint32_t currentSseControlWord();

}  // namespace rillmark
