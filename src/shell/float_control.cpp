#include "shell/float_control.h"

namespace rillmark {

#if defined(__i386__) || defined(__x86_64__)

void ResetFloatControl() {
  const std::uint16_t x87 = kFloatControlWord;
  const std::uint32_t sse = kSseControlWord;
  // fnclex, not fclex: waiting would raise a pending unmasked exception.
  asm volatile("fnclex\n\tfldcw %0" : : "m"(x87));
  asm volatile("ldmxcsr %0" : : "m"(sse));
}

std::uint16_t currentFloatControlWord() {
  std::uint16_t word = 0;
  asm volatile("fnstcw %0" : "=m"(word));
  return word;
}

std::uint32_t currentSseControlWord() {
  std::uint32_t word = 0;
  asm volatile("stmxcsr %0" : "=m"(word));
  return word;
}

#else

void ResetFloatControl() {}
std::uint16_t currentFloatControlWord() { return 0; }
std::uint32_t currentSseControlWord() { return 0; }

#endif

}  // namespace rillmark
