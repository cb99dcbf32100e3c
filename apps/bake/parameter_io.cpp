#include "parameter_io.h"

#include <nlohmann/json.hpp>
#include <vector>

#include "bake_error.h"
#include "base/error.h"
#include "params/parameter_table.h"
#include "params/preset_file.h"
#include "params/presets.h"

namespace bake {

namespace {

using nlohmann::json;
using rillmark::ParameterEntry;
using rillmark::ParameterKind;
using rillmark::ParameterSet;

const char* kindName(ParameterKind kind) {
  switch (kind) {
    case ParameterKind::Float: return "float";
    case ParameterKind::Integer: return "integer";
    case ParameterKind::Flag: return "flag";
    case ParameterKind::Choice: return "choice";
  }
  return "";
}

const char* placeName(rillmark::PanelPlace place) {
  switch (place) {
    case rillmark::PanelPlace::AnimationTab: return "waves";
    case rillmark::PanelPlace::WindTab: return "wind";
    case rillmark::PanelPlace::RunControls: return "run";
  }
  return "";
}

// A value as its kind is read. Floats go out widened to double, so a
// reader gets the 32-bit value exactly.
json asRead(const ParameterEntry& entry, double value) {
  switch (entry.kind) {
    case ParameterKind::Float: return static_cast<double>(static_cast<float>(value));
    case ParameterKind::Flag: return value != 0.0;
    case ParameterKind::Integer:
    case ParameterKind::Choice: return static_cast<int>(value);
  }
  return nullptr;
}

json describe(const ParameterEntry& entry) {
  json p = {{"name", entry.name},       {"group", placeName(entry.place)}, {"control", entry.control},
            {"caption", entry.caption}, {"kind", kindName(entry.kind)},    {"option", entry.option},
            {"hint", entry.hint},       {"help", entry.help}};
  p["preset_line"] = entry.presetLine > 0 ? json(entry.presetLine) : json(nullptr);
  p["default"] = asRead(entry, entry.start);
  if (entry.numeric()) {
    p["min"] = asRead(entry, entry.min);
    p["max"] = asRead(entry, entry.max);
    p["increment"] = asRead(entry, entry.increment);
  } else if (entry.kind == ParameterKind::Flag) {
    p["negative_option"] = "--no-" + std::string(entry.option.substr(2));
  } else {
    p["items"] = std::vector<std::string>(entry.items.begin(), entry.items.end());
    // The index -1 chooses no item; preset files may hold it.
    p["min"] = -1;
    p["max"] = static_cast<int>(entry.items.size()) - 1;
  }
  if (entry.presets) {
    json values = json::object();
    for (const rillmark::Preset& preset : rillmark::kPresets)
      values[std::string(preset.name)] = asRead(entry, (*entry.presets)[static_cast<std::size_t>(preset.index)]);
    p["presets"] = values;
  }
  return p;
}

// "Honey/Molasses" of the hint "Honey/Molasses Preset": the button's own name.
std::string presetCaption(const rillmark::Preset& preset) {
  constexpr std::string_view kSuffix = " Preset";
  std::string_view hint = preset.hint;
  if (hint.ends_with(kSuffix)) hint.remove_suffix(kSuffix.size());
  return std::string(hint);
}

}  // namespace

std::string describeParameters() {
  json doc;
  doc["parameters"] = json::array();
  for (const ParameterEntry& entry : rillmark::parameterTable()) doc["parameters"].push_back(describe(entry));
  doc["presets"] = json::array();
  for (const rillmark::Preset& preset : rillmark::kPresets)
    doc["presets"].push_back({{"name", preset.name}, {"caption", presetCaption(preset)}, {"hint", preset.hint}});
  return doc.dump(2) + "\n";
}

std::string parameterValues(const ParameterSet& params) {
  json values = json::object();
  for (const ParameterEntry& entry : rillmark::parameterTable())
    values[std::string(entry.name)] = asRead(entry, params.value(entry));
  return values.dump(2) + "\n";
}

void writePresetFile(const ParameterSet& params, const std::string& path) {
  std::vector<std::string> lines;
  try {
    rillmark::savePreset(params, path, '.', lines);
  } catch (const rillmark::Error& e) {
    throw BakeFailure(std::string("--save-preset: ") + e.what());
  }
}

}  // namespace bake
