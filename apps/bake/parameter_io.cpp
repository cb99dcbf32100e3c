#include "parameter_io.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "bake_error.h"
#include "base/error.h"
#include "params/preset_file.h"
#include "params/presets.h"

namespace bake {

namespace {

using nlohmann::json;
using rillmark::ParameterSet;

enum class Kind { Float, Integer, Flag, Choice };

// One parameter as other programs see it. Exactly one of the member
// pointers is set, as the kind says.
// Where a parameter sits on the panel: the Animation tab's waves, the
// Wind tab, the run controls below the tabs.
enum class Group { Waves, Wind, Run };

struct Described {
  const char* name;
  Group group;
  const char* control;
  Kind kind;
  const char* option;  // a flag also has its "--no-" form
  int presetLine;      // 1 to 10, or 0: not kept in preset files
  const char* hint;    // the panel's status-bar hint, where it has one
  const char* help;
  rillmark::NumericParameter ParameterSet::*numeric = nullptr;
  rillmark::FlagParameter ParameterSet::*flag = nullptr;
  rillmark::ChoiceParameter ParameterSet::*choice = nullptr;
  float rillmark::WavePreset::*preset = nullptr;  // the presets' value, for the six wave parameters
};

constexpr Described numeric(const char* name, Group group, const char* control, Kind kind, const char* option,
                            int line, const char* hint, const char* help,
                            rillmark::NumericParameter ParameterSet::*p,
                            float rillmark::WavePreset::*preset = nullptr) {
  return {name, group, control, kind, option, line, hint, help, p, nullptr, nullptr, preset};
}

constexpr Described flag(const char* name, Group group, const char* control, const char* option, const char* help,
                         rillmark::FlagParameter ParameterSet::*p) {
  return {name, group, control, Kind::Flag, option, 0, "", help, nullptr, p, nullptr, nullptr};
}

using rillmark::WavePreset;

// In the panel's order: the Animation tab, the Wind tab, the run.
const Described kParameters[] = {
    numeric("amplitude", Group::Waves, "spinamp", Kind::Float, "--amplitude", 1, "Height of Waves",
            "Height of the waves: they are at most 0.1 x Amplitude high", &ParameterSet::spinamp,
            &WavePreset::amplitude),
    numeric("wavelength", Group::Waves, "spinfreq", Kind::Float, "--wavelength", 2, "",
            "Length of the waves: one full wave spans 2 pi x Wavelength; 0 gives no waves", &ParameterSet::spinfreq,
            &WavePreset::wavelength),
    numeric("speed", Group::Waves, "spinvel", Kind::Float, "--speed", 3, "",
            "How fast the rings spread: Speed x Wavelength a frame; 0 freezes them", &ParameterSet::spinvel,
            &WavePreset::speed),
    numeric("decay", Group::Waves, "spindecay", Kind::Float, "--decay", 4, "",
            "How quickly a ring flattens behind its crest", &ParameterSet::spindecay, &WavePreset::decay),
    numeric("time_decay", Group::Waves, "spintimedecay", Kind::Float, "--time-decay", 5, "",
            "How quickly a ring fades as it travels", &ParameterSet::spintimedecay, &WavePreset::timeDecay),
    numeric("life_span", Group::Waves, "spinlat", Kind::Float, "--life-span", 6, "",
            "Frames after which an event stops making waves", &ParameterSet::spinlat, &WavePreset::lifeSpan),
    flag("wind", Group::Wind, "boxwind", "--wind", "Adds the wind's pattern of small waves, steered by the wind source",
         &ParameterSet::boxwind),
    numeric("noise_scale", Group::Wind, "spinnoisescale", Kind::Float, "--noise-scale", 7, "",
            "Stretches or shrinks the wind's pattern", &ParameterSet::spinnoisescale),
    numeric("time_scale", Group::Wind, "spinnoisetimescale", Kind::Float, "--time-scale", 8, "",
            "Makes the wind's pattern change in place over time (0: it only drifts)",
            &ParameterSet::spinnoisetimescale),
    numeric("octaves", Group::Wind, "spinoctaves", Kind::Integer, "--octaves", 9, "",
            "Finer detail for the four turbulence types", &ParameterSet::spinoctaves),
    {"disturbance_type", Group::Wind, "radiodisturbance", Kind::Choice, "--disturbance-type", 10, "",
     "The wind's pattern: the noises are smooth and rolling, the turbulences choppier", nullptr, nullptr,
     &ParameterSet::radiodisturbance},
    flag("sharp", Group::Wind, "boxspike", "--sharp", "Folds the wind's pattern into sharp crests", &ParameterSet::boxspike),
    flag("invert", Group::Wind, "boxinvert", "--invert", "Turns the wind's pattern upside down", &ParameterSet::boxinvert),
    flag("record_keys", Group::Run, "boxrec", "--record-keys", "Keys the water's vertices after every simulated frame",
         &ParameterSet::boxrec),
    flag("check_range", Group::Run, "boxrange", "--check-range",
         "Effectors must also be near the water horizontally, not just at its height", &ParameterSet::boxrange),
    numeric("start", Group::Run, "spinstart", Kind::Integer, "--start", 0, "", "The first frame simulated",
            &ParameterSet::spinstart),
    numeric("end", Group::Run, "spinend", Kind::Integer, "--end", 0, "", "The last frame simulated", &ParameterSet::spinend),
    numeric("step", Group::Run, "spinstep", Kind::Integer, "--step", 0, "",
            "Frames between simulated frames (2 simulates every second frame)", &ParameterSet::spinstep),
};

struct NamedPreset {
  const char* name;
  const char* caption;
  const WavePreset* values;
};

const NamedPreset kPresets[] = {
    {"water", "Water", &rillmark::kWaterPreset},
    {"honey", "Honey/Molasses", &rillmark::kHoneyPreset},
    {"snow", "Snow/Mud", &rillmark::kSnowPreset},
};

const char* groupName(Group group) {
  switch (group) {
    case Group::Waves: return "waves";
    case Group::Wind: return "wind";
    case Group::Run: return "run";
  }
  return "";
}

const char* kindName(Kind kind) {
  switch (kind) {
    case Kind::Float: return "float";
    case Kind::Integer: return "integer";
    case Kind::Flag: return "flag";
    case Kind::Choice: return "choice";
  }
  return "";
}

// Floats go out widened to double, so a reader gets the 32-bit value exactly.
json valueOf(const Described& d, const ParameterSet& params) {
  switch (d.kind) {
    case Kind::Float: return static_cast<double>((params.*d.numeric).Value());
    case Kind::Integer: return (params.*d.numeric).IntValue();
    case Kind::Flag: return (params.*d.flag).checked();
    case Kind::Choice: return (params.*d.choice).index();
  }
  return nullptr;
}

json describe(const Described& d, const ParameterSet& defaults) {
  json p = {{"name", d.name}, {"group", groupName(d.group)}, {"control", d.control}, {"kind", kindName(d.kind)},
            {"option", d.option}, {"hint", d.hint}, {"help", d.help}};
  p["preset_line"] = d.presetLine > 0 ? json(d.presetLine) : json(nullptr);
  p["default"] = valueOf(d, defaults);
  if (d.numeric) {
    const rillmark::NumericParameter& n = defaults.*d.numeric;
    p["caption"] = n.caption();
    p["min"] = static_cast<double>(n.Min());
    p["max"] = static_cast<double>(n.Max());
    p["increment"] = static_cast<double>(n.Increment());
    if (d.kind == Kind::Integer) {
      p["min"] = static_cast<int>(n.Min());
      p["max"] = static_cast<int>(n.Max());
      p["increment"] = static_cast<int>(n.Increment());
    }
  } else if (d.flag) {
    p["caption"] = (defaults.*d.flag).caption();
    p["negative_option"] = "--no-" + std::string(d.option + 2);
  } else {
    const rillmark::ChoiceParameter& c = defaults.*d.choice;
    p["caption"] = c.caption();
    p["items"] = c.items();
    // The index -1 chooses no item; preset files may hold it.
    p["min"] = -1;
    p["max"] = c.itemCount() - 1;
  }
  if (d.preset) {
    json values = json::object();
    for (const NamedPreset& preset : kPresets) values[preset.name] = static_cast<double>(preset.values->*d.preset);
    p["presets"] = values;
  }
  return p;
}

}  // namespace

std::string describeParameters() {
  const ParameterSet defaults;
  json doc;
  doc["parameters"] = json::array();
  for (const Described& d : kParameters) doc["parameters"].push_back(describe(d, defaults));
  doc["presets"] = json::array();
  for (const NamedPreset& preset : kPresets)
    doc["presets"].push_back({{"name", preset.name}, {"caption", preset.caption}, {"hint", std::string(preset.values->hint)}});
  return doc.dump(2) + "\n";
}

std::string parameterValues(const ParameterSet& params) {
  json values = json::object();
  for (const Described& d : kParameters) values[d.name] = valueOf(d, params);
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
