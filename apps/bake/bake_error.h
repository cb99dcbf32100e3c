// The two ways the bake program fails: a usage error (bad options, exit
// status 2) and a failure to read, build or write (exit status 1). Each
// carries the whole message the user sees, which names the file and line
// where one is at fault.
#pragma once

#include <stdexcept>
#include <string>

namespace bake {

class BakeFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace bake
