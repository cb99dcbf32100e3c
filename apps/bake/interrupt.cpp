#include "interrupt.h"

#include <atomic>

namespace bake {

namespace {

// Read from the writing thread as well as the program's own.
std::atomic<const volatile std::sig_atomic_t*> gFlag{nullptr};

}  // namespace

void watchForInterrupt(const volatile std::sig_atomic_t* flag) { gFlag = flag; }

bool interrupted() {
  const volatile std::sig_atomic_t* flag = gFlag;
  return flag && *flag;
}

void throwIfInterrupted() {
  if (interrupted()) throw Interrupted();
}

}  // namespace bake
