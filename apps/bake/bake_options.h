// The bake program's command line: where the scene comes from, the panel's
// parameters (a preset first, then the options that override it), and the
// outputs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bake_scene.h"
#include "params/parameter_set.h"

namespace bake {

struct BakeOptions {
  // Input: exactly one of the two.
  std::string sceneFile;
  std::string objSequence;
  std::string water;                   // the sequence's water object
  std::vector<std::string> effectors;  // checked besides the prefixed ones

  // Parameters: the preset and every option given, applied in that order.
  rillmark::ParameterSet params;
  bool startGiven = false;
  bool endGiven = false;
  std::optional<bool> wind;  // --wind / --no-wind

  // Threads for the synthesis: 0 for every core the machine has.
  int threads = 0;
  // The files' up axis, if the command line says.
  std::optional<UpAxis> upAxis;

  // Outputs.
  std::string pc2;
  std::string mdd;
  float fps = 24;
  std::string objOut;
  std::string preview;
  bool progressLines = false;  // plain progress lines, one a frame

  // Instead of a bake: the parameters described, or their values (the
  // preset and options applied) printed or saved as a preset file.
  bool describeParameters = false;
  bool printParameters = false;
  std::string savePreset;
  bool parameterCommand() const { return describeParameters || printParameters || !savePreset.empty(); }
};

// What parsing asks of the program.
struct ParseResult {
  std::optional<BakeOptions> options;  // nothing: exit with `exitCode`
  int exitCode = 0;
  std::string text;  // to print: the help on standard output, an error on standard error
};

ParseResult parseBakeOptions(int argc, const char* const* argv);

// The frames a run simulates with these parameters: Start, Start + Step,
// ... up to End (a Step below 1 counts as 1, as the run takes it).
std::vector<int> simulatedFrames(const rillmark::ParameterSet& params);

}  // namespace bake
