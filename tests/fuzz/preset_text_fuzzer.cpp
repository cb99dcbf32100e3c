// Fuzz target: the text of a preset file. Arbitrary bytes (CR, LF, NUL,
// lines of any length) are split into lines and applied to a parameter set
// under one of the decimal separators a user's locale may have. Whatever
// the bytes, every parameter must stay a number within its bounds, the
// lines must be split as the format says, a number the reader accepts must
// be the nearest float (the C library's strtof is the judge), and a float
// written as a line must read back as the same float.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "base/error.h"
#include "fuzz/fuzz_check.h"
#include "params/parameter_set.h"
#include "params/preset_file.h"
#include "params/preset_format.h"

namespace rillmark {
namespace {

// Decimal separators of real locales, and a few a user may set by hand.
constexpr char kSeparators[] = {'.', ',', '\'', '/', ':', '\xb7'};

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }
bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A float written as a preset line reads back as itself (non-finite values
// are written as text no reader accepts, by design).
void checkFloatRoundTrip(float value, char separator) {
  if (!std::isfinite(value)) return;
  const std::string text = formatPresetFloat(value, separator);
  for (char c : text) FUZZ_CHECK((c >= '0' && c <= '9') || c == '-' || c == 'E' || c == separator);
  const auto back = parsePresetFloat(text, separator);
  FUZZ_CHECK(back.has_value());
  FUZZ_CHECK(*back == value);
}

// What the line splitting must give, written plainly: the text up to the
// first NUL, cut at CR LF, lone CR and lone LF, at most `limit` lines.
std::vector<std::string> expectedLines(const std::string& text, std::size_t limit) {
  const std::string visible = text.substr(0, text.find('\0'));
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < visible.size() && lines.size() < limit) {
    const std::size_t end = visible.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(visible.substr(start));
      break;
    }
    lines.push_back(visible.substr(start, end - start));
    start = end + (visible.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// A number the reader takes is the one strtof reads from the same digits.
void checkAgainstStrtof(const std::string& line, char separator) {
  const auto parsed = parsePresetFloat(line, separator);
  if (!parsed) return;
  std::string plain;
  for (char c : line) {
    if (c == ' ') continue;
    plain += c == separator ? '.' : c;
  }
  char* end = nullptr;
  const float expected = std::strtof(plain.c_str(), &end);
  FUZZ_CHECK(end == plain.c_str() + plain.size());
  FUZZ_CHECK(*parsed == expected);
  FUZZ_CHECK(std::signbit(*parsed) == std::signbit(expected));
}

void checkParameters(const ParameterSet& params) {
  for (const NumericParameter* p :
       {&params.amplitude, &params.wavelength, &params.speed, &params.decay, &params.timeDecay, &params.lifeSpan,
        &params.noiseScale, &params.timeScale, &params.octaves}) {
    FUZZ_CHECK(p->Value() >= p->Min() && p->Value() <= p->Max());
    FUZZ_CHECK(p->IntValue() == roundHalfEven(p->Value()));
  }
  FUZZ_CHECK(params.disturbanceType.index() >= -1 && params.disturbanceType.index() <= 6);
}

}  // namespace
}  // namespace rillmark

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_ALL, "C");  // strtof reads a point
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rillmark;
  FuzzedDataProvider input(data, size);
  const char separator = input.PickValueInArray(kSeparators);
  checkFloatRoundTrip(std::bit_cast<float>(input.ConsumeIntegral<std::uint32_t>()), separator);
  const auto integer = input.ConsumeIntegral<std::int32_t>();
  FUZZ_CHECK(parsePresetInteger(std::to_string(integer)) == integer);

  const std::string text = input.ConsumeRemainingBytesAsString();
  std::istringstream file(text);
  const std::vector<std::string> lines = readPresetLines(file, kPresetLineCount);
  FUZZ_CHECK(lines.size() <= static_cast<std::size_t>(kPresetLineCount));
  bool overlong = false;
  for (const std::string& line : lines) {
    FUZZ_CHECK(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
    FUZZ_CHECK(line.size() <= kMaxPresetLineLength + 16);
    overlong = overlong || line.size() > kMaxPresetLineLength;
    checkAgainstStrtof(line, separator);
  }
  if (!overlong) FUZZ_CHECK(lines == expectedLines(text, kPresetLineCount));

  ParameterSet params;
  try {
    applyPresetLines(params, lines, separator);
    FUZZ_CHECK(lines.size() == static_cast<std::size_t>(kPresetLineCount));
  } catch (const Error& error) {
    const std::string message = error.what();
    FUZZ_CHECK(message == "List index out of bounds (" + std::to_string(lines.size()) + ")" ||
               (startsWith(message, "'") && (endsWith(message, "' is not a valid floating point value") ||
                                             endsWith(message, "' is not a valid integer value"))));
  }
  checkParameters(params);
  return 0;
}
