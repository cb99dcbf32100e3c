#include "base/float_control.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

#include "support/trapping_float_settings.h"

namespace rillmark {
namespace {

using testing::kHasFloatControl;
using testing::kHostX87Flags;
using testing::kTrappingSse;
using testing::kTrappingX87Control;
using testing::kX87FlagBits;
using testing::TrappingHostSettings;

// What a scope saw and what it left, read while the settings under test
// hold and compared once the test program's own are back.
struct Words {
  std::uint16_t x87Control = 0;
  std::uint16_t x87Flags = 0;
  std::uint32_t sse = 0;
};

Words currentWords() {
  return {currentFloatControlWord(), static_cast<std::uint16_t>(currentFloatStatusWord() & kX87FlagBits),
          currentSseControlWord()};
}

// Arithmetic that overflows and divides by zero in both units: a trap if
// any of those exceptions is unmasked.
void overflowEverywhere(float& sse, long double& x87) {
  volatile float big = 3e38f, zero = 0.0f;
  sse = big * 10.0f + 1.0f / zero;
  volatile long double huge = LDBL_MAX, none = 0.0L;
  x87 = huge * 2.0L + 1.0L / none;
}

TEST(FloatControl, ResetMasksEveryExceptionAndRoundsToNearest) {
  if (!kHasFloatControl) GTEST_SKIP() << "no x87/SSE control words on this processor";
  Words inside;
  float third = 0.0f;
  {
    const TrappingHostSettings host;
    ResetFloatControl();
    inside = currentWords();
    volatile float one = 1.0f;
    third = one / 3.0f;
  }
  EXPECT_EQ(inside.x87Control & 0x1F3F, 0x133F);
  EXPECT_EQ(inside.x87Flags, 0) << "pending flags are dropped";
  EXPECT_EQ(inside.sse, 0x1F80u);
  EXPECT_EQ(third, 1.0f / 3.0f) << "rounded to nearest";
}

TEST(FloatControl, ThePluginScopeHandsBackTheHostsSettingsAndNoneOfItsFlags) {
  if (!kHasFloatControl) GTEST_SKIP() << "no x87/SSE control words on this processor";
  Words inside, after;
  float sse = 0.0f;
  long double x87 = 0.0L;
  {
    const TrappingHostSettings host;
    {
      const PluginFloatScope plugin;
      inside = currentWords();
      overflowEverywhere(sse, x87);
    }
    after = currentWords();
    // The host's next x87 instruction would trap on a flag left standing.
    volatile long double next = 2.0L;
    next = next * next;
  }
  EXPECT_EQ(inside.x87Control & 0x1F3F, 0x133F);
  EXPECT_EQ(inside.sse, 0x1F80u);
  EXPECT_EQ(sse, std::numeric_limits<float>::infinity());
  EXPECT_EQ(x87, std::numeric_limits<long double>::infinity());
  EXPECT_EQ(after.x87Control, kTrappingX87Control);
  EXPECT_EQ(after.x87Flags, kHostX87Flags) << "the host's own flag stays, the plug-in's overflow does not";
  EXPECT_EQ(after.sse, kTrappingSse) << "masks, rounding, flush-to-zero, denormals-are-zero and flags";
}

TEST(FloatControl, HostCodeRunFromInsideThePluginSeesTheHostsSettings) {
  if (!kHasFloatControl) GTEST_SKIP() << "no x87/SSE control words on this processor";
  Words pumping, nestedEntry, pumpingAgain, afterPump, after, outside;
  {
    const TrappingHostSettings host;
    {
      const PluginFloatScope entry;
      // The click of a button reaches the plug-in through the system: a
      // second scope, entered from the plug-in's own code.
      const PluginFloatScope buttonClick;
      {
        // A message pump: the host's window procedures run here, and one of
        // them may call into the plug-in again, which may pump in turn.
        const HostFloatScope hostWindows;
        pumping = currentWords();
        {
          const PluginFloatScope windowProcedure;
          nestedEntry = currentWords();
          const HostFloatScope hostWindowsAgain;
          pumpingAgain = currentWords();
        }
      }
      afterPump = currentWords();
    }
    after = currentWords();
    {
      const HostFloatScope noPluginAround;
      outside = currentWords();
    }
  }
  EXPECT_EQ(pumping.x87Control, kTrappingX87Control);
  EXPECT_EQ(pumping.sse & 0xFFC0u, kTrappingSse & 0xFFC0u);
  EXPECT_EQ(pumpingAgain.x87Control, kTrappingX87Control);
  EXPECT_EQ(pumpingAgain.sse & 0xFFC0u, kTrappingSse & 0xFFC0u);
  EXPECT_EQ(nestedEntry.x87Control & 0x1F3F, 0x133F);
  EXPECT_EQ(nestedEntry.sse, 0x1F80u);
  EXPECT_EQ(afterPump.x87Control & 0x1F3F, 0x133F);
  EXPECT_EQ(afterPump.sse, 0x1F80u);
  EXPECT_EQ(after.x87Control, kTrappingX87Control);
  EXPECT_EQ(after.sse, kTrappingSse);
  EXPECT_EQ(outside.x87Control, kTrappingX87Control) << "outside the plug-in it changes nothing";
  EXPECT_EQ(outside.sse, kTrappingSse);
}

}  // namespace
}  // namespace rillmark
