// Puts every output of a bake in place together: each file is moved into
// its target's place in turn, and if one cannot be (or Ctrl-C arrives),
// those already moved are put back as they were. So a failed bake never
// leaves some outputs new and others old.
#pragma once

#include <vector>

#include "safe_output.h"

namespace bake {

// Throws BakeFailure "cannot replace <target>: <why>; nothing was changed",
// or Interrupted, with every target as it was.
void commitOutputs(const std::vector<SafeOutput*>& files);

}  // namespace bake
