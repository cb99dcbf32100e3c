// The three built-in wave presets bound to the panel's preset buttons.
#pragma once

#include <string_view>

#include "params/parameter_set.h"

namespace rillmark {

struct WavePreset {
  std::string_view hint;  // status-bar hint of the preset's button
  float amplitude;
  float wavelength;
  float speed;
  float decay;
  float timeDecay;
  float lifeSpan;
};

inline constexpr WavePreset kWaterPreset{"Water Preset", 0.5f, 0.06f, 0.75f, 0.1f, 0.05f, 50.0f};
inline constexpr WavePreset kHoneyPreset{"Honey/Molasses Preset", 0.5f, 0.1f, 0.3f, 0.1f, 0.01f, 50.0f};
inline constexpr WavePreset kSnowPreset{"Snow/Mud Preset", 0.5f, 0.1f, 0.0f, 0.1f, 0.0f, 50.0f};

// Sets the six wave parameters through their setters, in panel order;
// nothing else changes.
void applyPreset(ParameterSet& params, const WavePreset& preset);

}  // namespace rillmark
