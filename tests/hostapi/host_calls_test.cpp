#include "hostapi/host_calls.h"

#include <gtest/gtest.h>

#include "refhost/export_table.h"
#include "refhost/refhost.h"

namespace rillmark {
namespace {

class HostCalls : public ::testing::Test {
 protected:
  HostCalls() {
    refhost::reset();
    hostApi() = HostApi{};
    refhost::bindInto(hostApi());
  }
  ~HostCalls() override {
    hostApi() = HostApi{};
    hostApiLevel() = 0;
    refhost::reset();
  }
};

TEST_F(HostCalls, FunctionsAboveTheBoundLevelAreNeverCalled) {
  const HostVec3 p{0.3f, 0.2f, 0.1f};
  hostApiLevel() = 320;
  EXPECT_EQ(host::tssNoise3(&p), 0.0f);
  host::tsxGNodeSetDrawingMode(nullptr, 4);
  EXPECT_EQ(refhost::callCount("tssNoise3"), 0);
  EXPECT_EQ(refhost::callCount("tsxGNodeSetDrawingMode"), 0);
  host::tsxSceneDraw();
  EXPECT_EQ(refhost::drawCount(), 1);

  hostApiLevel() = 430;
  host::tssNoise3(&p);
  EXPECT_EQ(refhost::callCount("tssNoise3"), 1);
}

TEST_F(HostCalls, NullEntriesGiveNeutralResults) {
  hostApiLevel() = 430;
  hostApi() = HostApi{};
  EXPECT_EQ(host::tsxIsSobj(nullptr), 0);
  EXPECT_EQ(host::tsxPolyhGetVxArray(nullptr), nullptr);
  EXPECT_EQ(host::tsxDistanceToPoint3f(nullptr, nullptr), 0.0f);
  host::tsxSceneDraw();
  EXPECT_EQ(refhost::drawCount(), 0);
}

}  // namespace
}  // namespace rillmark
