// The panel's preset buttons: Water, Honey/Molasses and Snow/Mud set the
// wave parameters; Save Parameters and Load Parameters run a file dialog,
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

void btnwaterClick(ParameterSet& params);  // Water
void BitBtn2Click(ParameterSet& params);   // Honey/Molasses
void BitBtn5Click(ParameterSet& params);   // Snow/Mud

// lineBuffer is the panel's hidden list of lines (boxparams).
void btnsaveClick(const ParameterSet& params, Platform& platform, std::vector<std::string>& lineBuffer);
void btnloadClick(ParameterSet& params, Platform& platform, std::vector<std::string>& lineBuffer);

}  // namespace rillmark
