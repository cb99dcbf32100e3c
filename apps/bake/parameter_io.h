// The panel's parameters for programs that drive the bake program rather
// than type its options: their description (names, captions, kinds,
// ranges, defaults, presets, hints, help, options) and their values as
// JSON, and preset files written by the plug-in's own preset-file code.
// The Blender add-on makes its properties, presets, preset Load and Save
// from these, so nothing about a parameter is written down twice.
#pragma once

#include <string>

#include "params/parameter_set.h"

namespace bake {

// Every parameter, and the presets, as a JSON document.
std::string describeParameters();

// The current value of every parameter, by name, as a JSON object.
std::string parameterValues(const rillmark::ParameterSet& params);

// Writes the preset file as the panel's Save does, with a point as the
// decimal separator (as the bake program reads preset files). Throws
// BakeFailure with the plug-in's message when the file cannot be made.
void writePresetFile(const rillmark::ParameterSet& params, const std::string& path);

}  // namespace bake
