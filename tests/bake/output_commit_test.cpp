// Outputs are put in place all together or not at all: whichever step of
// the commit fails, or Ctrl-C stops, every target is left as it was, and
// nothing else is left in the folder.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "bake_error.h"
#include "bake_support.h"
#include "cache_readers.h"
#include "interrupt.h"
#include "output_commit.h"
#include "support/failing_file_store.h"

namespace bake::testing {
namespace {

TEST(OutputCommit, AFailureOrCtrlCAtAnyStepChangesNothing) {
  // a and b replace files that exist; c is new. Moving a and b in takes
  // two steps each (the old file aside, the new one in), c one. Ctrl-C is
  // seen before each file: raised during the moves of a or b, it puts
  // back what was moved; during c's, it comes too late to stop anything.
  constexpr int kSteps = 5;
  for (const bool ctrlC : {false, true}) {
    for (int step = 0; step <= kSteps; ++step) {
      SCOPED_TRACE((ctrlC ? "Ctrl-C at step " : "failure at step ") + std::to_string(step));
      ScratchFolder folder;
      writeText(folder / "a", "old a");
      writeText(folder / "b", "old b");
      rillmark::testing::FailingFileStore store;
      std::vector<std::unique_ptr<SafeOutput>> outputs;
      std::vector<SafeOutput*> files;
      for (const char* name : {"a", "b", "c"}) {
        outputs.push_back(std::make_unique<SafeOutput>(folder / name, store));
        outputs.back()->write(std::string("new ") + name);
        outputs.back()->finish();
        files.push_back(outputs.back().get());
      }
      volatile std::sig_atomic_t stop = 0;
      watchForInterrupt(&stop);
      const int before = store.operations;
      if (ctrlC && step != 0) {
        store.beforeEach = [&](int operation) {
          if (operation == before + step) stop = 1;
        };
      } else if (step != 0) {
        store.failAt = before + step;
      }
      bool failed = false;
      try {
        commitOutputs(files);
      } catch (const BakeFailure& e) {
        failed = !ctrlC;
        EXPECT_NE(std::string(e.what()).find("; nothing was changed"), std::string::npos) << e.what();
      } catch (const Interrupted&) {
        failed = ctrlC;
      }
      watchForInterrupt(nullptr);
      outputs.clear();
      EXPECT_EQ(failed, step != 0 && (!ctrlC || step < kSteps));
      if (failed) {
        EXPECT_EQ(folder.names(), (std::vector<std::string>{"a", "b"}));
        EXPECT_EQ(fileBytes(folder / "a"), "old a");
        EXPECT_EQ(fileBytes(folder / "b"), "old b");
      } else {
        EXPECT_EQ(folder.names(), (std::vector<std::string>{"a", "b", "c"}));
        EXPECT_EQ(fileBytes(folder / "b"), "new b");
        EXPECT_EQ(fileBytes(folder / "c"), "new c");
        // The new names made durable together, before the old files go.
        EXPECT_EQ(store.syncedFolders, std::vector<std::string>{rillmark::FileStore::folderOf(folder / "a")});
      }
    }
  }
}

}  // namespace
}  // namespace bake::testing
