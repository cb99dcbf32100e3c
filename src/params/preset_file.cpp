#include "params/preset_file.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "base/error.h"
#include "params/preset_format.h"
#include "platform/temporary_name.h"

namespace rillmark {

namespace {

namespace fs = std::filesystem;

// No number has three separators in a row, whichever the separator is.
constexpr const char* kOverlongLineMarker = "...,,,";

[[noreturn]] void cannotCreate(const std::string& path) { throw Error("Cannot create file " + path); }

// Paths arrive as UTF-8. A path made from a u8string holds the matching
// wide name on Windows, so the standard library opens the file with the
// wide calls and any name the file dialog gives works, and splits it by the
// system's rules; elsewhere the bytes pass unchanged. Nothing when the text
// cannot be a name there (it is not UTF-8 on Windows).
std::optional<fs::path> pathFromUtf8(const std::string& text) {
  try {
    return fs::path(std::u8string(text.begin(), text.end()));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::string utf8Of(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// Creates a file of a fresh name in the target's folder. Creation fails on
// any name that is taken, so whatever the user has there is never opened;
// a taken name (however unlikely) costs another try under a new one.
bool createTemporaryBeside(const fs::path& target, FileStore& files, std::string& temporary,
                           FileStore::Handle& file) {
  constexpr int kAttempts = 4;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const fs::path name = target.parent_path() / temporaryFileName(".rillmark-save-");
    temporary = utf8Of(name);
    if (files.createNew(temporary, file)) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> presetLines(const ParameterSet& params, char decimalSeparator) {
  std::vector<std::string> lines;
  for (int number = 1; number <= kPresetLineCount; ++number) {
    const ParameterEntry& entry = presetLineEntry(number);
    if (!entry.integerPresetLine()) {
      lines.push_back(formatPresetFloat(params.value(entry), decimalSeparator));
    } else if (entry.numeric()) {
      lines.push_back(std::to_string(params.numeric(entry.id)->IntValue()));
    } else {
      lines.push_back(std::to_string(static_cast<int>(params.value(entry))));
    }
  }
  return lines;
}

void writePresetFile(const std::string& path, const std::vector<std::string>& lines, FileStore& files) {
  const std::optional<fs::path> target = pathFromUtf8(path);
  if (!target) cannotCreate(path);
  // A folder in the way, or a file the user has marked read-only, is never
  // replaced.
  const FileStore::Entry entry = files.entryAt(path);
  if (entry == FileStore::Entry::Other || entry == FileStore::Entry::ReadOnlyFile) cannotCreate(path);

  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";

  // The text goes to a new file of our own beside the target and takes the
  // target's place only once it is whole on the disk; until then the old
  // file is untouched, and after any failure our file is removed again.
  std::string temporary;
  FileStore::Handle file{};
  if (!createTemporaryBeside(*target, files, temporary, file)) cannotCreate(path);
  bool saved = files.write(file, bytes) && files.flush(file);
  // Closed whatever happened before; a failed close may have lost data.
  saved = files.close(file) && saved;
  if (!saved || !files.replace(temporary, path)) {
    files.remove(temporary);
    cannotCreate(path);
  }
}

std::vector<std::string> readPresetLines(std::istream& in, std::size_t limit) {
  std::vector<std::string> lines;
  std::string line;
  bool lineOpen = false;    // characters since the last line end
  bool afterCr = false;     // an LF right after a CR belongs to it
  char block[4096];
  while (lines.size() < limit) {
    in.read(block, sizeof block);
    const std::streamsize got = in.gcount();
    if (got <= 0) break;
    for (std::streamsize i = 0; i < got && lines.size() < limit; ++i) {
      const char c = block[i];
      if (c == '\0') {
        if (lineOpen) lines.push_back(line);
        return lines;
      }
      if (c == '\n' && afterCr) {
        afterCr = false;
        continue;
      }
      afterCr = c == '\r';
      if (c == '\r' || c == '\n') {
        lines.push_back(line);
        line.clear();
        lineOpen = false;
        continue;
      }
      if (line.size() > kMaxPresetLineLength) {
        // Too long for any number. The marker makes it fail where it is
        // applied, whatever its characters, and nothing after it is read.
        lines.push_back(line + kOverlongLineMarker);
        return lines;
      }
      line += c;
      lineOpen = true;
    }
  }
  if (lineOpen && lines.size() < limit) lines.push_back(line);
  return lines;
}

void applyPresetLines(ParameterSet& params, const std::vector<std::string>& lines, char decimalSeparator) {
  for (int index = 0; index < kPresetLineCount; ++index) {
    if (static_cast<std::size_t>(index) >= lines.size())
      throw Error("List index out of bounds (" + std::to_string(index) + ")");
    const std::string& text = lines[static_cast<std::size_t>(index)];
    const ParameterEntry& entry = presetLineEntry(index + 1);
    if (!entry.integerPresetLine()) {
      const auto value = parsePresetFloat(text, decimalSeparator);
      if (!value) throw Error("'" + text + "' is not a valid floating point value");
      params.setValue(entry, *value);
      continue;
    }
    const auto value = parsePresetInteger(text);
    if (!value) throw Error("'" + text + "' is not a valid integer value");
    // A numeric parameter takes the integer as a float, as typed.
    params.setValue(entry, entry.numeric() ? static_cast<float>(*value) : *value);
  }
}

void savePreset(const ParameterSet& params, const std::string& path, char decimalSeparator,
                std::vector<std::string>& lineBuffer) {
  lineBuffer.clear();
  lineBuffer = presetLines(params, decimalSeparator);
  writePresetFile(path, lineBuffer);
}

void loadPreset(ParameterSet& params, const std::string& path, char decimalSeparator,
                std::vector<std::string>& lineBuffer) {
  lineBuffer.clear();
  const std::optional<fs::path> file = pathFromUtf8(path);
  std::ifstream in;
  if (file) in.open(*file, std::ios::binary);
  std::error_code ec;
  if (!file || !in || fs::is_directory(*file, ec)) throw Error("Cannot open file " + path);
  // Lines after the tenth are ignored, so they are never read.
  lineBuffer = readPresetLines(in, kPresetLineCount);
  applyPresetLines(params, lineBuffer, decimalSeparator);
}

}  // namespace rillmark
