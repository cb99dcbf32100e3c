// Outputs are put in place all together or not at all: whichever step of
// the commit fails, every target is left as it was, and nothing else is
// left in the folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bake_error.h"
#include "bake_support.h"
#include "cache_readers.h"
#include "output_commit.h"
#include "support/failing_file_store.h"

namespace bake::testing {
namespace {

TEST(OutputCommit, AFailureAtAnyStepChangesNothing) {
  // a and b replace files that exist; c is new. Moving a and b in takes
  // two steps each (the old file aside, the new one in), c one.
  constexpr int kSteps = 5;
  for (int failAt = 0; failAt <= kSteps; ++failAt) {
    SCOPED_TRACE("step " + std::to_string(failAt));
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
    store.failAt = failAt == 0 ? 0 : store.operations + failAt;
    bool failed = false;
    try {
      commitOutputs(files);
    } catch (const BakeFailure& e) {
      failed = true;
      EXPECT_NE(std::string(e.what()).find("; nothing was changed"), std::string::npos) << e.what();
    }
    outputs.clear();
    EXPECT_EQ(failed, failAt != 0);
    if (failed) {
      EXPECT_EQ(folder.names(), (std::vector<std::string>{"a", "b"}));
      EXPECT_EQ(fileBytes(folder / "a"), "old a");
      EXPECT_EQ(fileBytes(folder / "b"), "old b");
    } else {
      EXPECT_EQ(folder.names(), (std::vector<std::string>{"a", "b", "c"}));
      EXPECT_EQ(fileBytes(folder / "b"), "new b");
      EXPECT_EQ(fileBytes(folder / "c"), "new c");
    }
  }
}

}  // namespace
}  // namespace bake::testing
