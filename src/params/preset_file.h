// Preset files (.rmp): ten lines of plain text, one number each, keeping
// the six wave parameters and four wind settings from one use of the panel
// to the next. Errors are raised with the user's message text; the panel's
// handler shows them. Paths are UTF-8, as the platform's file dialogs give
// them, whatever the system's code page.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "params/parameter_set.h"
#include "platform/file_store.h"

namespace rillmark {

// A longer line cannot be a number worth reading; reading stops there.
inline constexpr std::size_t kMaxPresetLineLength = 4096;

// The ten lines for the current values.
std::vector<std::string> presetLines(const ParameterSet& params, char decimalSeparator);

// Writes the lines, each ended by CR LF. The file is written under a new
// name beside the target and put in its place only when it is whole, so a
// save that fails at any step leaves the old file as it was and nothing
// beside it. A folder or a read-only file at the path is not replaced.
// Raises "Cannot create file <path>".
void writePresetFile(const std::string& path, const std::vector<std::string>& lines,
                     FileStore& files = systemFileStore());

// Splits text into lines at CR LF, lone CR or lone LF; a NUL ends the
// text. Stops once `limit` lines are complete or a line grows past
// kMaxPresetLineLength, so a huge file costs no memory.
std::vector<std::string> readPresetLines(std::istream& in, std::size_t limit);

// Applies lines 1 to 10 in order, each at once through the setters.
// Raises the message of the first line that does not parse, or "List
// index out of bounds (<index>)" for the first missing line.
void applyPresetLines(ParameterSet& params, const std::vector<std::string>& lines, char decimalSeparator);

// Save: fills the line buffer and writes it. Load: reads the file into the
// line buffer and applies it; "Cannot open file <path>" when it cannot be
// read. Each clears the line buffer first.
void savePreset(const ParameterSet& params, const std::string& path, char decimalSeparator,
                std::vector<std::string>& lineBuffer);
void loadPreset(ParameterSet& params, const std::string& path, char decimalSeparator,
                std::vector<std::string>& lineBuffer);

}  // namespace rillmark
