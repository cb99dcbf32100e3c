// rillmark-bake: Rillmark's simulation for every other 3D program. Reads a
// scene file or an OBJ sequence, runs the plug-in's own run in a host of
// its own, and writes the water's vertices per frame as PC2, MDD, OBJ
// files and a GIF preview (README.md, docs/guide/Index.htm).
#include <csignal>
#include <cstdio>

#include "bake_program.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

extern "C" void askToStop(int) { gStop = 1; }

}  // namespace

int main(int argc, char** argv) {
  // Ctrl-C ends the run after its current frame and removes every
  // output written so far.
  std::signal(SIGINT, askToStop);
  std::signal(SIGTERM, askToStop);
#ifdef SIGBREAK
  // Ctrl-Break in a Windows console.
  std::signal(SIGBREAK, askToStop);
#endif
  return bake::runBakeProgram(argc, argv, stdout, stderr, &gStop);
}
