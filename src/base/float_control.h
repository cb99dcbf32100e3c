// The floating-point settings the plug-in computes under, and the scopes that
// put them in place at every entry from the host (each export, each window
// procedure) and hand the host its own settings back on the way out.
//
// The plug-in needs every exception masked and rounding to nearest: then a
// division by zero or an overflow gives an infinity or a NaN, which the
// simulation filters, instead of a trap in the host's process. The x87 word
// also selects 64-bit precision (the host's float results come back on the
// x87 stack, and the C runtime's exp and cos use it); MXCSR matters as much,
// since the core computes with SSE2.
//
// A host may run with traps unmasked, flush-to-zero on or another rounding;
// whatever it had comes back when the plug-in returns, and no exception flag
// raised by the plug-in's arithmetic is left behind to trap in the host.
// The scopes are for the host's user-interface thread, where all plug-in work
// runs.
#pragma once

#include <cstdint>

namespace rillmark {

inline constexpr std::uint16_t kFloatControlWord = 0x133F;
// All six SSE exceptions masked, round to nearest, no flush-to-zero or
// denormals-are-zero, no sticky flags.
inline constexpr std::uint32_t kSseControlWord = 0x1F80;

// Loads the plug-in's settings, dropping pending x87 exception flags first.
void ResetFloatControl();

// The current words, for tests; 0 on processors without them.
std::uint16_t currentFloatControlWord();
std::uint16_t currentFloatStatusWord();
std::uint32_t currentSseControlWord();

// A caller's settings and exception flags, as an entry found them.
struct FloatEnvironment {
  std::uint16_t x87Control = 0;
  std::uint16_t x87Status = 0;
  std::uint32_t sse = 0;
};

FloatEnvironment captureFloatEnvironment();
// Puts env back, flags included. The x87 flags raised since are dropped
// first: with the caller's traps unmasked, a flag left standing would trap
// at the caller's next x87 instruction.
void restoreFloatEnvironment(const FloatEnvironment& env);

// The plug-in's settings for the scope's lifetime; the caller's come back at
// its end. Scopes nest.
class PluginFloatScope {
 public:
  PluginFloatScope() noexcept;
  ~PluginFloatScope();
  PluginFloatScope(const PluginFloatScope&) = delete;
  PluginFloatScope& operator=(const PluginFloatScope&) = delete;

 private:
  friend class HostFloatScope;
  FloatEnvironment caller_;
  // What host code run from inside this scope gets: the settings of the
  // host code that entered the plug-in.
  FloatEnvironment hostSettings_;
  PluginFloatScope* outer_;
  bool hostWasRunning_;
};

// Inside a PluginFloatScope, around host code that a loop of the plug-in
// runs (a message pump, a modal dialog): the settings of the host code that
// entered the plug-in hold meanwhile, and the plug-in's come back at the
// end. Outside every plug-in scope it changes nothing.
class HostFloatScope {
 public:
  HostFloatScope() noexcept;
  ~HostFloatScope();
  HostFloatScope(const HostFloatScope&) = delete;
  HostFloatScope& operator=(const HostFloatScope&) = delete;

 private:
  bool active_;
  bool hostWasRunning_;
};

}  // namespace rillmark
