// The real panel under seeded random input for a given time: see soak.cpp.
#pragma once

namespace rillmark::testhost {

// Exit code 0 when no invariant broke in `seconds` of random actions.
int runSoak(int seconds, unsigned seed);

}  // namespace rillmark::testhost
