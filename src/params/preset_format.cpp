#include "params/preset_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace rillmark {

namespace {

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string formatPresetFloat(double value, char decimalSeparator) {
  if (value == 0.0) return "0";
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";

  // d.dddddddddddddde+X: 15 significant digits, correctly rounded.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    std::chars_format::scientific, 14);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const bool negative = text.front() == '-';
  const std::size_t ePos = text.find('e');
  std::string digits;
  for (char c : text.substr(negative ? 1 : 0, ePos - (negative ? 1 : 0))) {
    if (isDigit(c)) digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  // Exponent of the form 0.d1d2... x 10^e.
  const int e = std::atoi(std::string(text.substr(ePos + 1)).c_str()) + 1;

  std::string out = negative ? "-" : "";
  const int n = static_cast<int>(digits.size());
  if (e >= -3 && e <= 15) {
    if (e <= 0) {
      out += "0";
      out += decimalSeparator;
      out.append(static_cast<std::size_t>(-e), '0');
      out += digits;
    } else if (e >= n) {
      out += digits;
      out.append(static_cast<std::size_t>(e - n), '0');
    } else {
      out += digits.substr(0, static_cast<std::size_t>(e));
      out += decimalSeparator;
      out += digits.substr(static_cast<std::size_t>(e));
    }
    return out;
  }
  out += digits[0];
  if (n > 1) {
    out += decimalSeparator;
    out += digits.substr(1);
  }
  out += 'E';
  out += std::to_string(e - 1);
  return out;
}

std::optional<float> parsePresetFloat(std::string_view text, char decimalSeparator) {
  text = trimBlanks(text);
  // The grammar: [sign] digits [separator digits] [E [sign] digits], with at
  // least one digit before the exponent.
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::string integerDigits, fractionDigits;
  while (i < text.size() && isDigit(text[i])) integerDigits += text[i++];
  if (i < text.size() && text[i] == decimalSeparator) {
    ++i;
    while (i < text.size() && isDigit(text[i])) fractionDigits += text[i++];
  }
  if (integerDigits.empty() && fractionDigits.empty()) return std::nullopt;
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
    const std::size_t first = i;
    // Saturates far beyond any float exponent.
    while (i < text.size() && isDigit(text[i])) exponent = std::min(exponent * 10 + (text[i++] - '0'), 1000000LL);
    if (i == first) return std::nullopt;
    if (negativeExponent) exponent = -exponent;
  }
  if (i != text.size()) return std::nullopt;

  const std::string plain = (integerDigits.empty() ? "0" : integerDigits) + "." +
                            (fractionDigits.empty() ? "0" : fractionDigits) + "e" + std::to_string(exponent);
  float value = 0.0f;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Beyond the float range: decide by the decimal magnitude whether the
    // number is huge (the setter clamps it to Max) or vanishingly small.
    const std::string all = integerDigits + fractionDigits;
    const std::size_t firstNonZero = all.find_first_not_of('0');
    if (firstNonZero == std::string::npos) {
      value = 0.0f;
    } else {
      const long long magnitude = static_cast<long long>(integerDigits.size()) -
                                  static_cast<long long>(firstNonZero) + exponent;
      value = magnitude > 0 ? HUGE_VALF : 0.0f;
    }
  } else if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

std::optional<std::int32_t> parsePresetInteger(std::string_view text) {
  text = trimBlanks(text);
  // from_chars takes a minus sign but no plus, so a plus is taken off here;
  // whatever follows it must be a digit, or "+-5" would read as -5.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || !isDigit(text.front())) return std::nullopt;
  }
  std::int32_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace rillmark
