// A host with floating-point traps on: see float_boundary.cpp.
#pragma once

namespace rillmark::testhost {

// Exit code 0 when every check passed; 3 when a floating-point exception
// was raised.
int runFloatBoundary();

}  // namespace rillmark::testhost
