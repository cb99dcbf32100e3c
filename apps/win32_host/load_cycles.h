// The plug-in loaded, used and unloaded many times: see load_cycles.cpp.
#pragma once

namespace rillmark::testhost {

// Exit code 0 when every check passed.
int runLoadCycles(int cycles);

}  // namespace rillmark::testhost
