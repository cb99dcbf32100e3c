#include "params/numeric_parameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace rillmark {
namespace {

TEST(RoundHalfEven, RoundsHalvesToEvenAndSaturates) {
  const struct {
    float in;
    std::int32_t out;
  } cases[] = {{0.75f, 1}, {2.5f, 2}, {3.5f, 4}, {-2.5f, -2}, {-3.5f, -4}, {0.49f, 0},
               {50.6f, 51}, {1e20f, INT32_MAX}, {-1e20f, INT32_MIN}, {NAN, 0}};
  for (const auto& c : cases) EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
}

TEST(NumericParameter, SetterClampsIntoBoundsAndKeepsIntValueInStep) {
  NumericParameter step("Step", {2, 2, 1, 100, 1});
  int notifications = 0;
  step.addChangeListener([&] { ++notifications; });

  step.setValue(0);
  EXPECT_EQ(step.Value(), 1);
  EXPECT_EQ(step.IntValue(), 1);
  step.setValue(1000);
  EXPECT_EQ(step.Value(), 100);
  step.setValue(2.5f);
  EXPECT_EQ(step.IntValue(), 2);
  step.setValue(std::numeric_limits<float>::infinity());
  EXPECT_EQ(step.Value(), 100);
  EXPECT_EQ(notifications, 4);
}

TEST(NumericParameter, EqualValueChangesNothingAndNaNIsRefused) {
  NumericParameter amp("Amplitude", {0.5f, 0.5f, 0, 100, 0.01f});
  int notifications = 0;
  amp.addChangeListener([&] { ++notifications; });

  amp.setValue(0.5f);
  amp.setValue(NAN);
  amp.setTypedValue(NAN);
  EXPECT_EQ(notifications, 0);
  EXPECT_EQ(amp.Value(), 0.5f);
}

TEST(NumericParameter, TypedValueIsTakenUnclampedAndDefaultIsClamped) {
  NumericParameter step("Step", {2, 2, 1, 100, 1});
  step.setTypedValue(-3);
  EXPECT_EQ(step.Value(), -3);
  EXPECT_EQ(step.IntValue(), -3);

  step.setDefaultVal(500);
  EXPECT_EQ(step.DefaultVal(), 100);
  step.setDefaultVal(-1);
  EXPECT_EQ(step.DefaultVal(), 1);
}

}  // namespace
}  // namespace rillmark
