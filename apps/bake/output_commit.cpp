#include "output_commit.h"

#include <set>
#include <string>

#include "bake_error.h"
#include "interrupt.h"

namespace bake {

namespace {

// Makes the names of every folder the files lie in durable, once a folder
// however many files it holds: a folder output's thousands of files cost
// one sync, not one each.
void syncFolders(const std::vector<SafeOutput*>& files, std::size_t count) {
  std::set<std::string> synced;
  for (std::size_t i = 0; i < count; ++i)
    if (synced.insert(files[i]->folder()).second) files[i]->syncFolder();
}

}  // namespace

void commitOutputs(const std::vector<SafeOutput*>& files) {
  std::size_t placed = 0;
  const auto putBack = [&] {
    const std::size_t moved = placed;
    while (placed > 0) files[--placed]->undo();
    syncFolders(files, moved);
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
  // The new names are on the disk before what they replaced is removed.
  syncFolders(files, files.size());
  for (SafeOutput* file : files) file->keep();
}

}  // namespace bake
