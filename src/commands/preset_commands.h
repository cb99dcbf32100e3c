// The panel's Save Parameters and Load Parameters buttons: a file dialog,
// then the preset file. Errors are left to the panel's handler, which shows
// their text.
#pragma once

#include <string>
#include <vector>

#include "params/parameter_set.h"
#include "platform/platform.h"

namespace rillmark {

inline constexpr const char* kPresetFilter = "Rillmark Preset (*.RMP)|*.rmp";
inline constexpr const char* kPresetExtension = "rmp";

FileDialogOptions presetOpenDialog();  // od1
FileDialogOptions presetSaveDialog();  // sd1

// lineBuffer is the panel's hidden list of lines (boxparams).
void btnsaveClick(const ParameterSet& params, Platform& platform, std::vector<std::string>& lineBuffer);
void btnloadClick(ParameterSet& params, Platform& platform, std::vector<std::string>& lineBuffer);

}  // namespace rillmark
