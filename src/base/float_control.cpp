#include "base/float_control.h"

namespace rillmark {

namespace {

// The innermost plug-in scope; all of them live on one thread.
PluginFloatScope* innermostScope = nullptr;
// Set while host code runs inside a HostFloatScope and no plug-in scope
// has been entered since: a scope entered then is called by the host.
bool hostCodeRunning = false;

}  // namespace

#if defined(__i386__) || defined(__x86_64__)

namespace {

// What fnstenv stores and fldenv loads: the 28-byte protected-mode layout,
// the same in 32-bit and 64-bit code.
struct X87Environment {
  std::uint16_t control, unused0;
  std::uint16_t status, unused1;
  std::uint16_t tag, unused2;
  std::uint32_t instructionOffset;
  std::uint16_t instructionSelector, opcode;
  std::uint32_t operandOffset;
  std::uint16_t operandSelector, unused3;
};
static_assert(sizeof(X87Environment) == 28);

// The status word's stack top, which belongs to the registers as they are
// now rather than to the caller's flags.
constexpr std::uint16_t kStackTopBits = 0x3800;

}  // namespace

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

std::uint16_t currentFloatStatusWord() {
  std::uint16_t word = 0;
  asm volatile("fnstsw %0" : "=m"(word));
  return word;
}

std::uint32_t currentSseControlWord() {
  std::uint32_t word = 0;
  asm volatile("stmxcsr %0" : "=m"(word));
  return word;
}

FloatEnvironment captureFloatEnvironment() {
  return {currentFloatControlWord(), currentFloatStatusWord(), currentSseControlWord()};
}

void restoreFloatEnvironment(const FloatEnvironment& env) {
  X87Environment x87{};
  // fnstenv also masks every x87 exception, so nothing traps until fldenv
  // loads the caller's word together with the caller's flags.
  asm volatile("fnstenv %0" : "=m"(x87));
  x87.control = env.x87Control;
  x87.status = static_cast<std::uint16_t>((x87.status & kStackTopBits) | (env.x87Status & ~kStackTopBits));
  asm volatile("fldenv %0" : : "m"(x87));
  const std::uint32_t sse = env.sse;
  asm volatile("ldmxcsr %0" : : "m"(sse));
}

#else

void ResetFloatControl() {}
std::uint16_t currentFloatControlWord() { return 0; }
std::uint16_t currentFloatStatusWord() { return 0; }
std::uint32_t currentSseControlWord() { return 0; }
FloatEnvironment captureFloatEnvironment() { return {}; }
void restoreFloatEnvironment(const FloatEnvironment&) {}

#endif

// A scope entered from the plug-in's own code (through the system, as a
// button's click arrives through its window procedure) keeps the host
// settings of the scope around it; one entered from the host takes the
// settings its caller had.
PluginFloatScope::PluginFloatScope() noexcept
    : caller_(captureFloatEnvironment()),
      hostSettings_(innermostScope == nullptr || hostCodeRunning ? caller_ : innermostScope->hostSettings_),
      outer_(innermostScope),
      hostWasRunning_(hostCodeRunning) {
  innermostScope = this;
  hostCodeRunning = false;
  ResetFloatControl();
}

PluginFloatScope::~PluginFloatScope() {
  innermostScope = outer_;
  hostCodeRunning = hostWasRunning_;
  restoreFloatEnvironment(caller_);
}

HostFloatScope::HostFloatScope() noexcept : active_(innermostScope != nullptr), hostWasRunning_(hostCodeRunning) {
  if (!active_) return;
  hostCodeRunning = true;
  restoreFloatEnvironment(innermostScope->hostSettings_);
}

HostFloatScope::~HostFloatScope() {
  if (!active_) return;
  hostCodeRunning = hostWasRunning_;
  ResetFloatControl();
}

}  // namespace rillmark
