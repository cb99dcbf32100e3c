// Floating-point settings as a demanding host may hold them when it calls
// the plug-in: traps on for invalid operations, division by zero and
// overflow, 53-bit x87 precision, rounding down, flush-to-zero and
// denormals-are-zero on, and a precision flag of its own standing. Tests
// put them in place around a call into the plug-in and compare what comes
// back; anything the plug-in lets trap ends the test program.
#pragma once

#include <cstdint>

#include "base/float_control.h"

namespace rillmark::testing {

#if defined(__i386__) || defined(__x86_64__)
inline constexpr bool kHasFloatControl = true;
#else
inline constexpr bool kHasFloatControl = false;
#endif

inline constexpr std::uint16_t kTrappingX87Control = 0x0672;
inline constexpr std::uint32_t kTrappingSse = 0xB960;
// The host's own standing flag: precision, in both units.
inline constexpr std::uint16_t kHostX87Flags = 0x20;
inline constexpr std::uint16_t kX87FlagBits = 0x3F;

// Installs the trapping settings; destroying it puts back what the test
// program had, so its own arithmetic runs as before.
class TrappingHostSettings {
 public:
  TrappingHostSettings() : saved_(captureFloatEnvironment()) {
#if defined(__i386__) || defined(__x86_64__)
    const std::uint16_t x87 = kTrappingX87Control;
    const std::uint32_t sse = kTrappingSse;
    asm volatile("fnclex\n\tfldcw %0" : : "m"(x87));
    // An inexact x87 division raises the host's precision flag; precision
    // stays masked, so it does not trap.
    volatile long double third = 1.0L;
    third = third / 3.0L;
    asm volatile("ldmxcsr %0" : : "m"(sse));
#endif
  }
  ~TrappingHostSettings() {
#if defined(__i386__) || defined(__x86_64__)
    const std::uint16_t x87 = saved_.x87Control;
    const std::uint32_t sse = saved_.sse;
    asm volatile("fnclex\n\tfldcw %0" : : "m"(x87));
    asm volatile("ldmxcsr %0" : : "m"(sse));
#endif
  }
  TrappingHostSettings(const TrappingHostSettings&) = delete;
  TrappingHostSettings& operator=(const TrappingHostSettings&) = delete;

 private:
  FloatEnvironment saved_;
};

}  // namespace rillmark::testing
