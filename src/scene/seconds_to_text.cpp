#include "scene/seconds_to_text.h"

#include <charconv>
#include <cmath>

namespace rillmark {

namespace {

std::string fixed(double value, int decimals) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

std::string twoDigits(double whole) {
  std::string text = whole < 10 ? "0" : "";
  text += fixed(whole, 0);
  return text;
}

}  // namespace

std::string SecondsToText(float seconds, char decimalSeparator) {
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  const double s = seconds;
  const double h = std::floor(s / 3600);
  double rest = s - 3600 * h;
  const double m = std::floor(rest / 60);
  const float r = static_cast<float>(rest - 60 * m);

  // The padding is decided on the unrounded value, so 9.999 s shows as 010.00.
  std::string secondsText = r < 10 ? "0" : "";
  secondsText += fixed(r, 2);
  for (char& c : secondsText) {
    if (c == '.') c = decimalSeparator;
  }
  std::string text = twoDigits(h);
  text += ':';
  text += twoDigits(m);
  text += ':';
  text += secondsText;
  return text;
}

}  // namespace rillmark
