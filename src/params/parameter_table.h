// The parameter table (parameter_table.inc) as data that code can walk:
// one ParameterEntry per parameter, in the panel's order, with everything
// the parameter model, the presets, the preset file, the panel, the bake
// program and the Blender add-on need to know about it. Code that handles
// every parameter alike walks parameterTable() instead of naming them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

namespace rillmark {

enum class ParameterKind {
  Float,    // a spinner read as its Value
  Integer,  // a spinner read as its IntValue
  Flag,     // a check box
  Choice,   // a radio group: an index into its items, -1 for none
};

// Indices of the "Disturbance Type" items.
enum DisturbanceType : int {
  kNoise = 0,
  kNoiseClassical = 1,
  kNoisePerlin = 2,
  kTurbulence = 3,
  kTurbulenceClassical = 4,
  kTurbulencePerlin = 5,
  kTurbulenceConvolution = 6,
};

inline constexpr std::string_view kDisturbanceTypeItems[] = {
    "Noise",
    "Noise (Classical)",
    "Noise (Perlin)",
    "Turbulence",
    "Turbulence (Classical)",
    "Turbulence (Perlin)",
    "Turbulence (Convolution)",
};

enum class ParameterId : int {
#define RILLMARK_PARAMETER(identifier, kind, ...) identifier,
#include "params/parameter_table.inc"
#undef RILLMARK_PARAMETER
};

// Where the panel shows a parameter's control. Programs that show the
// parameters themselves (the Blender add-on) group them the same way.
enum class PanelPlace {
  AnimationTab,
  WindTab,
  RunControls,  // below the tabs
};

// The three built-in presets' values of one wave parameter, in the order
// of kPresets (params/presets.h): Water, Honey/Molasses, Snow/Mud.
using PresetValues = std::array<float, 3>;

struct ParameterEntry {
  ParameterId id;
  ParameterKind kind;
  std::string_view name;     // physical, snake_case: files, options and the add-on use it
  std::string_view control;  // the panel's control that shows it
  std::string_view caption;  // the control's caption
  PanelPlace place;          // where the panel shows the control
  std::span<const std::string_view> items = {};  // a choice's items, by index

  // The start value, which is also the DefaultVal a right click on the
  // spinner restores: a flag's 1 (checked) or 0, a choice's index.
  float start = 0.0f;
  // A numeric parameter's bounds and the step of one click.
  float min = 0.0f;
  float max = 0.0f;
  float increment = 0.0f;

  std::optional<PresetValues> presets = {};  // the wave parameters only
  int presetLine = 0;          // its line in a preset file, 1 to 10; 0 when not stored
  bool presetRounded = false;  // a Float stored as its IntValue, on an integer line

  std::string_view option = {};  // the bake program's long option
  std::string_view hint = {};    // the status bar's text under the pointer; empty: none
  std::string_view help;         // one sentence on what it does

  constexpr bool numeric() const { return kind == ParameterKind::Float || kind == ParameterKind::Integer; }
  // A preset-file line holding an integer rather than a float.
  constexpr bool integerPresetLine() const { return kind != ParameterKind::Float || presetRounded; }
};

inline constexpr ParameterEntry kParameterTable[] = {
#define RILLMARK_PARAMETER(identifier, kind_, ...) \
  ParameterEntry{.id = ParameterId::identifier, .kind = ParameterKind::kind_, __VA_ARGS__},
#include "params/parameter_table.inc"
#undef RILLMARK_PARAMETER
};

inline constexpr int kParameterCount = static_cast<int>(std::size(kParameterTable));
inline constexpr int kPresetLineCount = 10;

constexpr std::span<const ParameterEntry> parameterTable() { return kParameterTable; }

constexpr const ParameterEntry& parameterEntry(ParameterId id) { return kParameterTable[static_cast<int>(id)]; }

// The entry of that physical name, or null.
constexpr const ParameterEntry* findParameter(std::string_view name) {
  for (const ParameterEntry& entry : kParameterTable)
    if (entry.name == name) return &entry;
  return nullptr;
}

// The entry stored on a preset file's line, 1 to kPresetLineCount.
constexpr const ParameterEntry& presetLineEntry(int line) {
  for (const ParameterEntry& entry : kParameterTable)
    if (entry.presetLine == line) return entry;
  return kParameterTable[0];  // never reached: every line has its entry (checked below)
}

// The type a reader takes a parameter's value as.
template <ParameterKind K>
using ParameterValue =
    std::conditional_t<K == ParameterKind::Float, float,
                       std::conditional_t<K == ParameterKind::Integer, std::int32_t,
                                          std::conditional_t<K == ParameterKind::Flag, bool, int>>>;

namespace parameter_table_checks {

constexpr bool inIdOrder() {
  for (int i = 0; i < kParameterCount; ++i)
    if (static_cast<int>(kParameterTable[i].id) != i) return false;
  return true;
}

// Lines 1 to 10 follow the table's order, each once.
constexpr bool presetLinesInOrder() {
  int next = 1;
  for (const ParameterEntry& entry : kParameterTable) {
    if (entry.presetLine == 0) continue;
    if (entry.presetLine != next++) return false;
  }
  return next == kPresetLineCount + 1;
}

constexpr bool startValuesInBounds() {
  for (const ParameterEntry& entry : kParameterTable) {
    if (entry.numeric() && !(entry.min <= entry.start && entry.start <= entry.max)) return false;
    if (entry.presets)
      for (float value : *entry.presets)
        if (!(entry.min <= value && value <= entry.max)) return false;
    if (entry.kind == ParameterKind::Choice && !(entry.start >= -1 && entry.start < entry.items.size())) return false;
  }
  return true;
}

// Names, controls and options each name one parameter.
constexpr bool namesUnique() {
  for (int i = 0; i < kParameterCount; ++i)
    for (int j = i + 1; j < kParameterCount; ++j) {
      const ParameterEntry &a = kParameterTable[i], &b = kParameterTable[j];
      if (a.name == b.name || a.control == b.control || (!a.option.empty() && a.option == b.option)) return false;
    }
  return true;
}

// The rows run in the panel's order, a place's rows together.
constexpr bool placesInOrder() {
  for (int i = 1; i < kParameterCount; ++i)
    if (kParameterTable[i].place < kParameterTable[i - 1].place) return false;
  return true;
}

static_assert(inIdOrder());
static_assert(placesInOrder());
static_assert(namesUnique());
static_assert(presetLinesInOrder());
static_assert(startValuesInBounds());

}  // namespace parameter_table_checks

}  // namespace rillmark
