#include "bake_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
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

using rillmark::NumericParameter;
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
      // Lines 6, 9 and 10 hold integers, the others floats.
      const bool integer = i == 5 || i == 8 || i == 9;
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
  if (preset == "water") {
    rillmark::applyPreset(params, rillmark::kWaterPreset);
  } else if (preset == "honey") {
    rillmark::applyPreset(params, rillmark::kHoneyPreset);
  } else if (preset == "snow") {
    rillmark::applyPreset(params, rillmark::kSnowPreset);
  } else {
    loadPresetFile(params, preset);
  }
}

struct NumericOption {
  const char* name;
  const char* caption;
  NumericParameter ParameterSet::*parameter;
  bool integer;
};

constexpr NumericOption kNumericOptions[] = {
    {"--amplitude", "Amplitude: height of the waves", &ParameterSet::spinamp, false},
    {"--wavelength", "Wavelength: length of the waves", &ParameterSet::spinfreq, false},
    {"--speed", "Speed: how fast the rings spread", &ParameterSet::spinvel, false},
    {"--decay", "Decay: damping of the waves with distance", &ParameterSet::spindecay, false},
    {"--time-decay", "Time Decay: damping of the waves with time", &ParameterSet::spintimedecay, false},
    {"--life-span", "Life Span: frames after which an event stops making waves", &ParameterSet::spinlat, false},
    {"--noise-scale", "wind Scale", &ParameterSet::spinnoisescale, false},
    {"--time-scale", "wind Time Scale", &ParameterSet::spinnoisetimescale, false},
    {"--octaves", "wind Octaves", &ParameterSet::spinoctaves, true},
    {"--start", "Start: the first frame", &ParameterSet::spinstart, true},
    {"--end", "End: the last frame", &ParameterSet::spinend, true},
    {"--step", "Step: frames between samples", &ParameterSet::spinstep, true},
};

struct FlagOption {
  const char* names;
  const char* caption;
  rillmark::FlagParameter ParameterSet::*flag;
};

constexpr FlagOption kFlagOptions[] = {
    {"--sharp,!--no-sharp", "wind Sharp Style", &ParameterSet::boxspike},
    {"--invert,!--no-invert", "wind Invert", &ParameterSet::boxinvert},
    {"--record-keys,!--no-record-keys", "Record Keys (the samples are the same either way)", &ParameterSet::boxrec},
    {"--check-range,!--no-check-range", "Check Range: only effectors near the water make events",
     &ParameterSet::boxrange},
};

}  // namespace

std::vector<int> simulatedFrames(const ParameterSet& params) {
  std::vector<int> frames;
  const long long step = std::max(1, params.spinstep.IntValue());
  for (long long f = params.spinstart.IntValue(); f <= params.spinend.IntValue(); f += step)
    frames.push_back(static_cast<int>(f));
  return frames;
}

ParseResult parseBakeOptions(int argc, const char* const* argv) {
  BakeOptions o;
  const ParameterSet defaults;
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
  app.add_option("--preset", preset, "water, honey, snow, or a preset file (.rmp); the options below override it")
      ->type_name("NAME|FILE")->group("Parameters");
  float values[std::size(kNumericOptions)];
  std::vector<CLI::Option*> numeric;
  for (std::size_t i = 0; i < std::size(kNumericOptions); ++i) {
    const NumericOption& n = kNumericOptions[i];
    const NumericParameter& p = defaults.*n.parameter;
    numeric.push_back(app.add_option(n.name, values[i], n.caption)
                          ->check(CLI::Range(p.Min(), p.Max()))
                          ->option_text(std::string(n.integer ? "INT" : "NUMBER") + " " + numberText(p.Min()) +
                                        " to " + numberText(p.Max()) + ", default " + numberText(p.Value()))
                          ->group("Parameters"));
    if (n.integer) numeric.back()->check(CLI::TypeValidator<int>());
  }
  int disturbance = defaults.radiodisturbance.index();
  CLI::Option* disturbanceOption =
      app.add_option("--disturbance-type", disturbance,
                     "wind Disturbance Type: 0 Noise, 1 Noise (Classical), 2 Noise (Perlin), 3 Turbulence, "
                     "4 Turbulence (Classical), 5 Turbulence (Perlin), 6 Turbulence (Convolution)")
          ->check(CLI::Range(-1, 6))
          ->option_text("INT -1 (none) to 6, default " + std::to_string(defaults.radiodisturbance.index()))
          ->group("Parameters");
  bool windFlag = false;
  CLI::Option* windOption =
      app.add_flag("--wind,!--no-wind", windFlag, "Enable Wind Source (default: on when the scene has a wind source)")
          ->group("Parameters");
  bool flags[std::size(kFlagOptions)];
  std::vector<CLI::Option*> flagOptions;
  for (std::size_t i = 0; i < std::size(kFlagOptions); ++i) {
    const FlagOption& f = kFlagOptions[i];
    const bool on = (defaults.*f.flag).checked();
    flags[i] = on;
    flagOptions.push_back(
        app.add_flag(f.names, flags[i], std::string(f.caption) + (on ? " (default: on)" : " (default: off)"))
            ->group("Parameters"));
  }

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
    for (std::size_t i = 0; i < std::size(kNumericOptions); ++i) {
      if (numeric[i]->count() == 0) continue;
      const float value = kNumericOptions[i].integer ? static_cast<float>(static_cast<int>(values[i])) : values[i];
      (o.params.*kNumericOptions[i].parameter).setValue(value);
    }
    for (std::size_t i = 0; i < std::size(kNumericOptions); ++i) {
      if (kNumericOptions[i].parameter == &ParameterSet::spinstart) o.startGiven = numeric[i]->count() > 0;
      if (kNumericOptions[i].parameter == &ParameterSet::spinend) o.endGiven = numeric[i]->count() > 0;
    }
    if (disturbanceOption->count() > 0) o.params.radiodisturbance.setIndex(disturbance);
    if (windOption->count() > 0) o.wind = windFlag;
    if (!upAxis.empty()) o.upAxis = upAxisNamed(upAxis);
    for (std::size_t i = 0; i < std::size(kFlagOptions); ++i)
      if (flagOptions[i]->count() > 0) (o.params.*kFlagOptions[i].flag).setChecked(flags[i]);
  } catch (const UsageError& e) {
    result.text = std::string(e.what()) + "\n";
    result.exitCode = 2;
    return result;
  }
  result.options = std::move(o);
  return result;
}

}  // namespace bake
