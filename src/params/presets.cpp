#include "params/presets.h"

namespace rillmark {

const Preset* findPreset(std::string_view name) {
  for (const Preset& preset : kPresets)
    if (preset.name == name) return &preset;
  return nullptr;
}

void applyPreset(ParameterSet& params, const Preset& preset) {
  for (const ParameterEntry& entry : parameterTable()) {
    if (entry.presets) params.setValue(entry, (*entry.presets)[static_cast<std::size_t>(preset.index)]);
  }
}

}  // namespace rillmark
