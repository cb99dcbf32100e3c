#include "platform/temporary_name.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>

namespace rillmark {

// A counter, the clock and an address (which moves between processes),
// mixed so that every bit counts.
std::string temporaryFileName(std::string_view prefix) {
  static std::atomic<std::uint64_t> counter{0};
  const auto now = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  const auto place = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&counter));
  std::uint64_t x = now ^ (place << 16) ^ (++counter * 0x9E3779B97F4A7C15ull);
  // splitmix64's finaliser.
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  x ^= x >> 31;
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(x));
  return std::string(prefix) + digits + ".tmp";
}

}  // namespace rillmark
