// The three built-in wave presets bound to the panel's preset buttons.
// Their values are the parameter table's (ParameterEntry::presets).
#pragma once

#include <string_view>

#include "params/parameter_set.h"

namespace rillmark {

struct Preset {
  std::string_view name;  // as the bake program and the add-on name it
  std::string_view hint;  // status-bar hint of the preset's button
  int index;              // into ParameterEntry::presets
};

inline constexpr Preset kWaterPreset{"water", "Water Preset", 0};
inline constexpr Preset kHoneyPreset{"honey", "Honey/Molasses Preset", 1};
inline constexpr Preset kSnowPreset{"snow", "Snow/Mud Preset", 2};
inline constexpr Preset kPresets[] = {kWaterPreset, kHoneyPreset, kSnowPreset};

// The preset of that name, or null.
const Preset* findPreset(std::string_view name);

// Sets the wave parameters through their setters, in the table's order;
// nothing else changes.
void applyPreset(ParameterSet& params, const Preset& preset);

}  // namespace rillmark
