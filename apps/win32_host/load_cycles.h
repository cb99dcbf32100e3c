// The plug-in loaded, used and unloaded many times: see load_cycles.cpp.
#pragma once

#include <string>

#include "process_resources.h"

namespace rillmark::testhost {

Resources measure();
void print(const std::string& when, const Resources& r);

// Exit code 0 when every check passed.
int runLoadCycles(int cycles);

}  // namespace rillmark::testhost
