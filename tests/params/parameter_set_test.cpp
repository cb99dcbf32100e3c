#include "params/parameter_set.h"

#include <gtest/gtest.h>

#include <cmath>

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
      {&ParameterSet::amplitude, "Amplitude", 0.5f, 0.5f, 0, 100, 0.01f},
      {&ParameterSet::wavelength, "Wavelength", 0.06f, 0.06f, 0, 100, 0.001f},
      {&ParameterSet::speed, "Speed", 0.75f, 0.75f, 0, 100, 0.01f},
      {&ParameterSet::decay, "Decay", 0.1f, 0.1f, 0, 100, 0.001f},
      {&ParameterSet::timeDecay, "Time Decay", 0.05f, 0.05f, 0, 100, 0.001f},
      {&ParameterSet::lifeSpan, "Life Span", 50, 50, 1, 10000, 1},
      {&ParameterSet::noiseScale, "Scale", 0.7f, 0.7f, 0, 10000, 0.1f},
      {&ParameterSet::timeScale, "Time Scale", 0, 0, 0, 10000, 0.1f},
      {&ParameterSet::octaves, "Octaves", 1, 1, 0, 10000, 1},
      {&ParameterSet::start, "Start", 0, 0, 0, 10000, 1},
      {&ParameterSet::end, "End", 100, 100, 1, 10000, 1},
      {&ParameterSet::step, "Step", 2, 2, 1, 100, 1},
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
  EXPECT_FALSE(params.wind.checked());
  EXPECT_TRUE(params.sharp.checked());
  EXPECT_TRUE(params.invert.checked());
  EXPECT_TRUE(params.recordKeys.checked());
  EXPECT_TRUE(params.checkRange.checked());
  EXPECT_EQ(params.disturbanceType.index(), 0);
  ASSERT_EQ(params.disturbanceType.itemCount(), 7);
  EXPECT_EQ(params.disturbanceType.items()[6], "Turbulence (Convolution)");
  EXPECT_EQ(params.wind.caption(), "Enable Wind Source");
}

TEST(ParameterSet, ChoiceIndexIsClampedIntoItsItems) {
  ParameterSet params;
  params.disturbanceType.setIndex(9);
  EXPECT_EQ(params.disturbanceType.index(), 6);
  params.disturbanceType.setIndex(-5);
  EXPECT_EQ(params.disturbanceType.index(), -1);
}

// Code that walks the table reaches each parameter's own model, and only
// that one, through its setter.
TEST(ParameterSet, EachEntryReachesItsOwnModel) {
  for (const ParameterEntry& entry : parameterTable()) {
    SCOPED_TRACE(entry.name);
    EXPECT_EQ(findParameter(entry.name), &entry);
    ParameterSet params;
    const double changed = entry.numeric() ? entry.max : entry.kind == ParameterKind::Flag ? 1.0 - entry.start : 6.0;
    params.setValue(entry, entry.numeric() ? 1e300 : changed);  // clamped to Max
    params.setValue(entry, std::nan(""));
    EXPECT_EQ(params.value(entry), changed);
    for (const ParameterEntry& other : parameterTable()) {
      if (&other == &entry) continue;
      const double start = other.kind == ParameterKind::Integer ? roundHalfEven(other.start) : other.start;
      EXPECT_EQ(params.value(other), start) << other.name;
    }
  }
  EXPECT_EQ(findParameter("spinlat"), nullptr) << "parameters go by their physical names";
}

TEST(Presets, SetOnlyTheSixWaveParameters) {
  ParameterSet params;
  params.noiseScale.setValue(3);
  params.end.setValue(40);
  params.recordKeys.setChecked(false);

  applyPreset(params, kSnowPreset);
  EXPECT_EQ(params.amplitude.Value(), 0.5f);
  EXPECT_EQ(params.wavelength.Value(), 0.1f);
  EXPECT_EQ(params.speed.Value(), 0.0f);
  EXPECT_EQ(params.decay.Value(), 0.1f);
  EXPECT_EQ(params.timeDecay.Value(), 0.0f);
  EXPECT_EQ(params.lifeSpan.Value(), 50.0f);
  EXPECT_EQ(params.noiseScale.Value(), 3.0f);
  EXPECT_EQ(params.end.Value(), 40.0f);
  EXPECT_FALSE(params.recordKeys.checked());

  applyPreset(params, kHoneyPreset);
  EXPECT_EQ(params.speed.Value(), 0.3f);
  EXPECT_EQ(params.timeDecay.Value(), 0.01f);
}

TEST(Presets, WaterEqualsTheStartValuesAndASecondApplicationDoesNothing) {
  ParameterSet params;
  int notifications = 0;
  for (NumericParameter* p : {&params.amplitude, &params.wavelength, &params.speed, &params.decay,
                              &params.timeDecay, &params.lifeSpan}) {
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
