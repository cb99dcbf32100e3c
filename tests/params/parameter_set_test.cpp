#include "params/parameter_set.h"

#include <gtest/gtest.h>

#include "params/presets.h"

namespace rillmark {
namespace {

struct Row {
  const NumericParameter ParameterSet::*member;
  const char* caption;
  float start, defaultVal, min, max, increment;
};

TEST(ParameterSet, NumericParametersStartWithTheirTabledValuesAndBounds) {
  const Row rows[] = {
      {&ParameterSet::spinamp, "Amplitude", 0.5f, 0.5f, 0, 100, 0.01f},
      {&ParameterSet::spinfreq, "Wavelength", 0.06f, 0.06f, 0, 100, 0.001f},
      {&ParameterSet::spinvel, "Speed", 0.75f, 0.75f, 0, 100, 0.01f},
      {&ParameterSet::spindecay, "Decay", 0.1f, 0.1f, 0, 100, 0.001f},
      {&ParameterSet::spintimedecay, "Time Decay", 0.05f, 0.05f, 0, 100, 0.001f},
      {&ParameterSet::spinlat, "Life Span", 50, 50, 1, 10000, 1},
      {&ParameterSet::spinnoisescale, "Scale", 0.7f, 0.7f, 0, 10000, 0.1f},
      {&ParameterSet::spinnoisetimescale, "Time Scale", 0, 0, 0, 10000, 0.1f},
      {&ParameterSet::spinoctaves, "Octaves", 1, 1, 0, 10000, 1},
      {&ParameterSet::spinstart, "Start", 0, 0, 0, 10000, 1},
      {&ParameterSet::spinend, "End", 100, 100, 1, 10000, 1},
      {&ParameterSet::spinstep, "Step", 2, 2, 1, 100, 1},
  };
  const ParameterSet params;
  for (const Row& row : rows) {
    const NumericParameter& p = params.*row.member;
    SCOPED_TRACE(row.caption);
    EXPECT_EQ(p.caption(), row.caption);
    EXPECT_EQ(p.Value(), row.start);
    EXPECT_EQ(p.DefaultVal(), row.defaultVal);
    EXPECT_EQ(p.Min(), row.min);
    EXPECT_EQ(p.Max(), row.max);
    EXPECT_EQ(p.Increment(), row.increment);
  }
}

TEST(ParameterSet, FlagsAndChoiceStartAsOnAFreshPanel) {
  const ParameterSet params;
  EXPECT_FALSE(params.boxwind.checked());
  EXPECT_TRUE(params.boxspike.checked());
  EXPECT_TRUE(params.boxinvert.checked());
  EXPECT_TRUE(params.boxrec.checked());
  EXPECT_TRUE(params.boxrange.checked());
  EXPECT_EQ(params.radiodisturbance.index(), 0);
  ASSERT_EQ(params.radiodisturbance.itemCount(), 7);
  EXPECT_EQ(params.radiodisturbance.items()[6], "Turbulence (Convolution)");
  EXPECT_EQ(params.boxwind.caption(), "Enable Wind Source");
}

TEST(ParameterSet, ChoiceIndexIsClampedIntoItsItems) {
  ParameterSet params;
  params.radiodisturbance.setIndex(9);
  EXPECT_EQ(params.radiodisturbance.index(), 6);
  params.radiodisturbance.setIndex(-5);
  EXPECT_EQ(params.radiodisturbance.index(), -1);
}

TEST(Presets, SetOnlyTheSixWaveParameters) {
  ParameterSet params;
  params.spinnoisescale.setValue(3);
  params.spinend.setValue(40);
  params.boxrec.setChecked(false);

  applyPreset(params, kSnowPreset);
  EXPECT_EQ(params.spinamp.Value(), 0.5f);
  EXPECT_EQ(params.spinfreq.Value(), 0.1f);
  EXPECT_EQ(params.spinvel.Value(), 0.0f);
  EXPECT_EQ(params.spindecay.Value(), 0.1f);
  EXPECT_EQ(params.spintimedecay.Value(), 0.0f);
  EXPECT_EQ(params.spinlat.Value(), 50.0f);
  EXPECT_EQ(params.spinnoisescale.Value(), 3.0f);
  EXPECT_EQ(params.spinend.Value(), 40.0f);
  EXPECT_FALSE(params.boxrec.checked());

  applyPreset(params, kHoneyPreset);
  EXPECT_EQ(params.spinvel.Value(), 0.3f);
  EXPECT_EQ(params.spintimedecay.Value(), 0.01f);
}

TEST(Presets, WaterEqualsTheStartValuesAndASecondApplicationDoesNothing) {
  ParameterSet params;
  int notifications = 0;
  for (NumericParameter* p : {&params.spinamp, &params.spinfreq, &params.spinvel, &params.spindecay,
                              &params.spintimedecay, &params.spinlat}) {
    p->addChangeListener([&] { ++notifications; });
  }
  applyPreset(params, kWaterPreset);
  EXPECT_EQ(notifications, 0);

  applyPreset(params, kHoneyPreset);
  const int afterHoney = notifications;
  EXPECT_EQ(afterHoney, 3);  // Wavelength, Speed, Time Decay differ from Water
  applyPreset(params, kHoneyPreset);
  EXPECT_EQ(notifications, afterHoney);
}

}  // namespace
}  // namespace rillmark
