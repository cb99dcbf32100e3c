#include "shell/exception_boundary.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "base/error.h"
#include "platform/headless/headless_platform.h"

namespace rillmark {
namespace {

TEST(ExceptionBoundary, MessageNamesThePluginThePlaceAndTheError) {
  const std::string tail = "\r\nThe exception is classified as: \r\n\r\nException : bad";
  const struct {
    Boundary where;
    std::string expected;
  } cases[] = {
      {Boundary::Export, "Unhandled exception in \"Rillmark\" tSX plugin." + tail},
      {Boundary::ProcessAttach, "Exception occurred in \"Rillmark\" tSX plugin while attaching the process." + tail},
      {Boundary::ProcessDetach, "Exception occurred in \"Rillmark\" tSX plugin while detaching the process." + tail},
      {Boundary::ThreadAttach, "Exception occurred in \"Rillmark\" tSX plugin while attaching a thread." + tail},
      {Boundary::ThreadDetach, "Exception occurred in \"Rillmark\" tSX plugin while detaching a thread." + tail},
  };
  for (const auto& c : cases) EXPECT_EQ(BoundaryMessage(c.where, "Rillmark", "Exception", "bad"), c.expected);
}

TEST(ExceptionBoundary, VersionMessageRightAlignsBothLevels) {
  const struct {
    std::uint16_t required, bound;
    const char* expected;
  } cases[] = {
      {320, 310, "This Plugin requires trueSpace version  3.20, but version  3.10 is installed."},
      {320, 0, "This Plugin requires trueSpace version  3.20, but version  0.00 is installed."},
      {1000, 300, "This Plugin requires trueSpace version 10.00, but version  3.00 is installed."},
      {320, 65535, "This Plugin requires trueSpace version  3.20, but version 655.35 is installed."},
  };
  for (const auto& c : cases) EXPECT_EQ(VersionMessage(c.required, c.bound), c.expected);
}

TEST(ExceptionBoundary, AMessageThatCannotBeShownIsStillAbsorbed) {
  struct FailingPlatform : HeadlessPlatform {
    void showMessage(const std::string&) override { throw std::runtime_error("no screen"); }
  } platform;
  EXPECT_FALSE(RunGuarded(platform, Boundary::Export, [] { throw Error("first"); }));
  EXPECT_TRUE(RunGuarded(platform, Boundary::Export, [] {}));
}

}  // namespace
}  // namespace rillmark
