// Ctrl-C, wherever the program is: the signal handler sets a flag, and each
// long step (reading the inputs, the run, writing, putting outputs in
// place) asks between two pieces of its work and stops by throwing
// Interrupted. Everything written so far is then removed on the way out.
#pragma once

#include <csignal>
#include <stdexcept>

namespace bake {

class Interrupted : public std::runtime_error {
 public:
  Interrupted() : std::runtime_error("interrupted") {}
};

// The flag to watch from now on; null for none. One bake at a time.
void watchForInterrupt(const volatile std::sig_atomic_t* flag);
bool interrupted();
void throwIfInterrupted();

}  // namespace bake
