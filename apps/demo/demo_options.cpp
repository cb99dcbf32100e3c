#include "demo_options.h"

#include <charconv>
#include <string_view>

namespace demo {

namespace {

bool parseInt(std::string_view text, int low, int high, int& out) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) return false;
  out = value;
  return true;
}

}  // namespace

std::optional<Options> parseOptions(int argc, char** argv, std::string& error) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    if (flag == "--help" || flag == "-h") {
      error.clear();
      return std::nullopt;
    }
    if (i + 1 >= argc) {
      error = "missing value after " + std::string(flag);
      return std::nullopt;
    }
    const std::string_view value = argv[++i];
    bool ok = true;
    if (flag == "--preset") {
      ok = value == "water" || value == "honey" || value == "snow";
      if (ok) options.preset = value;
    } else if (flag == "--start") {
      ok = parseInt(value, 0, 10000, options.start);
    } else if (flag == "--end") {
      ok = parseInt(value, 1, 10000, options.end);
    } else if (flag == "--step") {
      ok = parseInt(value, 1, 100, options.step);
    } else if (flag == "--grid") {
      ok = parseInt(value, 8, 400, options.grid);
    } else if (flag == "--out") {
      ok = !value.empty();
      options.outputFolder = value;
    } else {
      error = "unknown option " + std::string(flag);
      return std::nullopt;
    }
    if (!ok) {
      error = "bad value '" + std::string(value) + "' for " + std::string(flag);
      return std::nullopt;
    }
  }
  if (options.start > options.end) {
    error = "--start is above --end: no frame would be simulated";
    return std::nullopt;
  }
  return options;
}

}  // namespace demo
