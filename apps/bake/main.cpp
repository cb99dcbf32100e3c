// rillmark-bake: Rillmark's simulation for every other 3D program. Reads a
// scene file or an OBJ sequence, runs the plug-in's own run in a host of
// its own, and writes the water's vertices per frame as PC2, MDD, OBJ
// files and a GIF preview (docs/bake.md, docs/guide/Index.htm).
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "bake_program.h"
#include "platform/command_line.h"

namespace {

volatile std::sig_atomic_t gStop = 0;

// The first Ctrl-C asks the bake to stop and clean up (it does within a
// second); a second one ends the program at once.
extern "C" void askToStop(int signal) {
  gStop = 1;
  std::signal(signal, SIG_DFL);
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGINT, askToStop);
  std::signal(SIGTERM, askToStop);
  // UTF-8, whatever the system hands programs and shows of them.
  rillmark::printUtf8ToConsole();
  const std::vector<std::string> args = rillmark::commandLineArguments(argc, argv);
  std::vector<const char*> argp;
  for (const std::string& a : args) argp.push_back(a.c_str());
  return bake::runBakeProgram(static_cast<int>(argp.size()), argp.data(), stdout, stderr, &gStop);
}
