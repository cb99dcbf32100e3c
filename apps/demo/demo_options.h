// The demo's command line.
#pragma once

#include <optional>
#include <string>

namespace demo {

struct Options {
  std::string preset = "water";  // water, honey or snow
  int start = 0;
  int end = 100;
  int step = 2;
  int grid = 96;  // vertices along each side of the water
  std::string outputFolder = "build/demo";
};

inline constexpr const char* kUsage =
    "usage: rillmark_demo [--preset water|honey|snow] [--start N] [--end N] [--step N]\n"
    "                     [--grid N] [--out FOLDER]\n"
    "Runs a ripple simulation on a built-in scene and writes PNG frames and an\n"
    "animated GIF of the water to FOLDER (default build/demo).\n";

// The options, or nothing (with a message in error) when the command line
// is not understood.
std::optional<Options> parseOptions(int argc, char** argv, std::string& error);

}  // namespace demo
