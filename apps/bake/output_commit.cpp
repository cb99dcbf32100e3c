#include "output_commit.h"

#include <string>

#include "bake_error.h"
#include "interrupt.h"

namespace bake {

void commitOutputs(const std::vector<SafeOutput*>& files) {
  std::size_t placed = 0;
  const auto putBack = [&] {
    while (placed > 0) files[--placed]->undo();
  };
  for (SafeOutput* file : files) {
    if (interrupted()) {
      putBack();
      throw Interrupted();
    }
    std::string why;
    if (!file->place(why)) {
      putBack();
      throw BakeFailure("cannot replace " + file->target() + ": " + why + "; nothing was changed");
    }
    ++placed;
  }
  for (SafeOutput* file : files) file->keep();
}

}  // namespace bake
