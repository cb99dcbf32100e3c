// FUZZ_CHECK: a property a fuzz target demands of every input. A broken one
// prints where and what, then aborts, which libFuzzer reports as a failure
// and keeps the input that caused it. It is checked in every build type.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                              \
  do {                                                                                     \
    if (!(condition)) {                                                                    \
      std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                        \
    }                                                                                      \
  } while (false)
