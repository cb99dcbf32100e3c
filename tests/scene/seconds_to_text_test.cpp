#include "scene/seconds_to_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace rillmark {
namespace {

TEST(SecondsToText, HoursMinutesAndSecondsWithTwoDecimals) {
  const struct {
    float seconds;
    const char* text;
  } cases[] = {
      {0, "00:00:00.00"},         {9.5f, "00:00:09.50"},        {60, "00:01:00.00"},
      {3600, "01:00:00.00"},      {3725.5f, "01:02:05.50"},     {360000, "100:00:00.00"},
      {-4, "00:00:00.00"},        {NAN, "00:00:00.00"},         {INFINITY, "00:00:00.00"},
      {59.25f, "00:00:59.25"},
  };
  for (const auto& c : cases) EXPECT_EQ(SecondsToText(c.seconds, '.'), c.text) << c.seconds;
}

TEST(SecondsToText, UsesTheLocaleSeparator) { EXPECT_EQ(SecondsToText(9.5f, ','), "00:00:09,50"); }

}  // namespace
}  // namespace rillmark
