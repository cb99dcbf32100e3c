#include "bake_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "bake_error.h"
#include "up_axis.h"
#include "base/error.h"
#include "params/preset_file.h"
#include "params/preset_format.h"
#include "params/presets.h"

namespace bake {

namespace {

using rillmark::ParameterKind;
using rillmark::ParameterSet;

std::string numberText(float value) {
  std::ostringstream s;
  s << value;
  return s.str();
}

// Preset files are read as the plug-in reads them, with a point as the
// decimal separator. The plug-in's messages name neither the file nor the
// line, so the line is found here by the same parsers.
void loadPresetFile(ParameterSet& params, const std::string& path) {
  std::vector<std::string> lines;
  try {
    rillmark::loadPreset(params, path, '.', lines);
  } catch (const rillmark::Error& e) {
    const std::string what = e.what();
    if (lines.empty() && what.rfind("Cannot open", 0) == 0) throw UsageError("--preset: cannot open " + path);
    std::size_t line = std::min<std::size_t>(lines.size(), rillmark::kPresetLineCount);
    for (std::size_t i = 0; i < lines.size() && i < static_cast<std::size_t>(rillmark::kPresetLineCount); ++i) {
      const bool integer = rillmark::presetLineEntry(static_cast<int>(i) + 1).integerPresetLine();
      const bool ok = integer ? rillmark::parsePresetInteger(lines[i]).has_value()
                              : rillmark::parsePresetFloat(lines[i], '.').has_value();
      if (!ok) {
        line = i;
        break;
      }
    }
    std::string message = what;
    if (line >= lines.size()) message = "the file has " + std::to_string(lines.size()) + " lines, a preset has 10";
    throw UsageError(path + ":" + std::to_string(line + 1) + ": " + message);
  }
}

void applyNamedPreset(ParameterSet& params, const std::string& preset) {
  if (const rillmark::Preset* builtIn = rillmark::findPreset(preset)) {
    rillmark::applyPreset(params, *builtIn);
  } else {
    loadPresetFile(params, preset);
  }
}

// What --help says of a parameter: its caption and what it does, a
// choice's items by index, a flag's default.
std::string optionDescription(const rillmark::ParameterEntry& entry) {
  std::string help(entry.help);
  if (!help.empty() && help[0] >= 'A' && help[0] <= 'Z') help[0] = static_cast<char>(help[0] - 'A' + 'a');
  std::string text = std::string(entry.caption) + ": " + help;
  if (entry.kind == ParameterKind::Choice) {
    for (std::size_t i = 0; i < entry.items.size(); ++i)
      text += (i == 0 ? " (" : ", ") + std::to_string(i) + " " + std::string(entry.items[i]);
    text += ")";
  }
  if (entry.id == rillmark::ParameterId::wind) return text + " (default: on when the scene has a wind source)";
  if (entry.kind == ParameterKind::Flag) text += entry.start != 0.0f ? " (default: on)" : " (default: off)";
  return text;
}

// The option of one parameter and where CLI11 puts what it reads.
struct ParameterOption {
  const rillmark::ParameterEntry* entry = nullptr;
  CLI::Option* option = nullptr;
  float number = 0.0f;  // a numeric parameter or a choice's index
  bool flag = false;
};

// Adds the option of every parameter the table gives one, to group
// "Parameters", in the table's order. CLI11 keeps the addresses of the
// options' values, so the array must stay where it is while it parses.
void addParameterOptions(CLI::App& app, std::array<ParameterOption, rillmark::kParameterCount>& options) {
  for (const rillmark::ParameterEntry& entry : rillmark::parameterTable()) {
    if (entry.option.empty()) continue;
    ParameterOption& o = options[static_cast<std::size_t>(entry.id)];
    o.entry = &entry;
    const std::string name(entry.option);
    if (entry.kind == ParameterKind::Flag) {
      o.flag = entry.start != 0.0f;
      o.option = app.add_flag(name + ",!--no-" + name.substr(2), o.flag, optionDescription(entry));
    } else if (entry.kind == ParameterKind::Choice) {
      const int last = static_cast<int>(entry.items.size()) - 1;
      o.number = entry.start;
      // -1 chooses no item, as a preset file may.
      o.option = app.add_option(name, o.number, optionDescription(entry))
                     ->check(CLI::Range(-1, last))
                     ->check(CLI::TypeValidator<int>())
                     ->option_text("INT -1 (none) to " + std::to_string(last) + ", default " +
                                   numberText(entry.start));
    } else {
      const bool integer = entry.kind == ParameterKind::Integer;
      o.option = app.add_option(name, o.number, optionDescription(entry))
                     ->check(CLI::Range(entry.min, entry.max))
                     ->option_text(std::string(integer ? "INT" : "NUMBER") + " " + numberText(entry.min) + " to " +
                                   numberText(entry.max) + ", default " + numberText(entry.start));
      if (integer) o.option->check(CLI::TypeValidator<int>());
    }
    o.option->group("Parameters");
  }
}

}  // namespace

std::vector<int> simulatedFrames(const ParameterSet& params) {
  std::vector<int> frames;
  const long long step = std::max(1, params.step.IntValue());
  for (long long f = params.start.IntValue(); f <= params.end.IntValue(); f += step)
    frames.push_back(static_cast<int>(f));
  return frames;
}

ParseResult parseBakeOptions(int argc, const char* const* argv) {
  BakeOptions o;
  CLI::App app{
      "rillmark-bake: Rillmark's ripples and wakes for any 3D program. Simulates a water mesh with its effectors, "
      "as the plug-in's Start does, and writes the water's vertices each frame as point caches.",
      "rillmark-bake"};
  app.get_formatter()->column_width(40);

  app.add_option("--scene", o.sceneFile, "Scene file (JSON) with the water, the effectors and the wind source")
      ->type_name("FILE")->group("Input");
  app.add_option("--obj-sequence", o.objSequence, "OBJ files, one per frame: shot_####.obj or shot_%04d.obj")
      ->type_name("PATTERN")->group("Input");
  app.add_option("--water", o.water, "The OBJ sequence's water object (required with --obj-sequence)")
      ->type_name("NAME")->group("Input");
  app.add_option("--effector", o.effectors,
                 "An effector of the OBJ sequence by name (repeatable); names starting with \"Effector\" always are")
      ->type_name("NAME")->group("Input");

  std::string preset;
  std::string presetNames;
  for (const rillmark::Preset& p : rillmark::kPresets) presetNames += std::string(p.name) + ", ";
  app.add_option("--preset", preset, presetNames + "or a preset file (.rmp); the options below override it")
      ->type_name("NAME|FILE")->group("Parameters");
  std::array<ParameterOption, rillmark::kParameterCount> parameters{};
  addParameterOptions(app, parameters);

  app.add_option("--pc2", o.pc2, "Write a Point Cache 2 file")->type_name("FILE")->group("Output");
  app.add_option("--mdd", o.mdd, "Write an MDD file")->type_name("FILE")->group("Output");
  app.add_option("--fps", o.fps, "Frames per second of the MDD file's frame times")
      ->check(CLI::Range(0.001f, 100000.0f))
      ->option_text("NUMBER, default 24")
      ->group("Output");
  app.add_option("--obj-out", o.objOut, "Write the water as one OBJ file per frame into this folder")->type_name("FOLDER")->group("Output");
  app.add_option("--preview", o.preview, "Write the water's heights as an animated GIF")->type_name("FILE")->group("Output");
  app.add_flag("--progress-lines", o.progressLines,
               "Progress as plain lines, one a frame (at most ten a second), for a program to read")
      ->group("Output");

  app.add_flag("--describe-parameters", o.describeParameters,
               "Print every parameter (name, caption, kind, range, default, presets, option) as JSON, and stop")
      ->group("Parameters, without a bake");
  app.add_flag("--print-parameters", o.printParameters,
               "Print the parameters' values after the preset and the options as JSON")
      ->group("Parameters, without a bake");
  app.add_option("--save-preset", o.savePreset,
                 "Write the parameters after the preset and the options as a preset file, as the plug-in does")
      ->type_name("FILE.rmp")->group("Parameters, without a bake");

  app.add_option("--threads", o.threads, "Threads to use: 1 does everything on one; the heights are the same for any number")
      ->check(CLI::Range(0, 1024))
      ->option_text("INT, default 0: every core")
      ->group("Run");
  std::string upAxis;
  app.add_option("--up-axis", upAxis, "The axis that points up in the input files; every output keeps their axes")
      ->check(CLI::IsMember({"y", "z", "Y", "Z"}))
      ->option_text("y|z, default z (or the scene file's \"up\")")
      ->group("Input");

  ParseResult result;
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    result.text = app.help();
    result.exitCode = 0;
    return result;
  } catch (const CLI::ParseError& e) {
    result.text = std::string(e.what()) + "\nRun with --help for the options.\n";
    result.exitCode = 2;
    return result;
  }

  try {
    const bool outputs = !o.pc2.empty() || !o.mdd.empty() || !o.objOut.empty() || !o.preview.empty();
    if (o.parameterCommand()) {
      if (!o.sceneFile.empty() || !o.objSequence.empty() || outputs)
        throw UsageError("--describe-parameters, --print-parameters and --save-preset bake nothing: "
                         "give them no scene and no output");
    } else {
      if (o.sceneFile.empty() == o.objSequence.empty())
        throw UsageError("give either --scene FILE or --obj-sequence PATTERN");
      if (!o.objSequence.empty() && o.water.empty()) throw UsageError("--obj-sequence needs --water NAME");
      if (o.objSequence.empty() && (!o.water.empty() || !o.effectors.empty()))
        throw UsageError("--water and --effector name objects of an --obj-sequence");
      if (!outputs) throw UsageError("nothing to write: give --pc2, --mdd, --obj-out or --preview");
    }

    if (!preset.empty()) applyNamedPreset(o.params, preset);
    for (const ParameterOption& p : parameters) {
      if (p.option == nullptr || p.option->count() == 0) continue;
      const rillmark::ParameterEntry& entry = *p.entry;
      if (entry.id == rillmark::ParameterId::wind) {
        o.wind = p.flag;  // the program decides with the scene
      } else if (entry.kind == ParameterKind::Flag) {
        o.params.setValue(entry, p.flag ? 1.0 : 0.0);
      } else if (entry.kind == ParameterKind::Float) {
        o.params.setValue(entry, p.number);
      } else {
        o.params.setValue(entry, static_cast<float>(static_cast<int>(p.number)));
      }
      if (entry.id == rillmark::ParameterId::start) o.startGiven = true;
      if (entry.id == rillmark::ParameterId::end) o.endGiven = true;
    }
    if (!upAxis.empty()) o.upAxis = upAxisNamed(upAxis);
  } catch (const UsageError& e) {
    result.text = std::string(e.what()) + "\n";
    result.exitCode = 2;
    return result;
  }
  result.options = std::move(o);
  return result;
}

}  // namespace bake
