// The whole bake program as a function, so tests run it in-process: parse
// the command line, read the scene, run, write. Returns the exit status:
// 0 done, 1 failed (no output changed), 2 bad usage, 130 interrupted
// (no output changed).
#pragma once

#include <csignal>
#include <cstdio>

namespace bake {

inline constexpr int kInterruptedStatus = 130;

// stop: set by a signal handler to end the bake early, whatever it is
// doing; it then removes what it wrote and returns kInterruptedStatus.
int runBakeProgram(int argc, const char* const* argv, std::FILE* out, std::FILE* err,
                   const volatile std::sig_atomic_t* stop = nullptr);

}  // namespace bake
