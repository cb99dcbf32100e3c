// The whole bake program as a function, so tests run it in-process: parse
// the command line, read the scene, run, write. Returns the exit status:
// 0 done, 1 failed (nothing written under an output's name), 2 bad usage.
#pragma once

#include <csignal>
#include <cstdio>

namespace bake {

// stop: set by a signal handler to end the run early; it then fails
// with status 1 and leaves no output.
int runBakeProgram(int argc, const char* const* argv, std::FILE* out, std::FILE* err,
                   const volatile std::sig_atomic_t* stop = nullptr);

}  // namespace bake
