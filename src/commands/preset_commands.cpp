#include "commands/preset_commands.h"

#include "params/preset_file.h"
#include "params/presets.h"

namespace rillmark {

FileDialogOptions presetOpenDialog() {
  FileDialogOptions options;
  options.filter = kPresetFilter;
  options.defaultExtension = kPresetExtension;
  options.hideReadOnly = true;
  options.fileMustExist = false;
  return options;
}

FileDialogOptions presetSaveDialog() {
  FileDialogOptions options;
  options.filter = kPresetFilter;
  options.defaultExtension = kPresetExtension;
  options.promptOverwrite = true;
  options.hideReadOnly = true;
  return options;
}

void btnwaterClick(ParameterSet& params) { applyPreset(params, kWaterPreset); }
void BitBtn2Click(ParameterSet& params) { applyPreset(params, kHoneyPreset); }
void BitBtn5Click(ParameterSet& params) { applyPreset(params, kSnowPreset); }

void btnsaveClick(const ParameterSet& params, Platform& platform, std::vector<std::string>& lineBuffer) {
  const auto path = platform.saveFileDialog(presetSaveDialog());
  if (!path) return;
  savePreset(params, *path, platform.decimalSeparator(), lineBuffer);
}

void btnloadClick(ParameterSet& params, Platform& platform, std::vector<std::string>& lineBuffer) {
  const auto path = platform.openFileDialog(presetOpenDialog());
  if (!path) return;
  loadPreset(params, *path, platform.decimalSeparator(), lineBuffer);
}

}  // namespace rillmark
