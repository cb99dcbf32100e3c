#include "params/numeric_parameter.h"

#include <cmath>
#include <limits>
#include <utility>

namespace rillmark {

std::int32_t roundHalfEven(float x) {
  if (std::isnan(x)) return 0;
  const double v = x;
  double r = std::floor(v);
  const double fraction = v - r;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
  constexpr double kLow = std::numeric_limits<std::int32_t>::min();
  constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
  if (r < kLow) return std::numeric_limits<std::int32_t>::min();
  if (r > kHigh) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(r);
}

NumericParameter::NumericParameter(std::string caption, Bounds bounds)
    : caption_(std::move(caption)),
      value_(bounds.startValue),
      intValue_(roundHalfEven(bounds.startValue)),
      min_(bounds.min),
      max_(bounds.max),
      increment_(bounds.increment),
      defaultVal_(bounds.defaultVal) {
  setDefaultVal(bounds.defaultVal);
}

void NumericParameter::setValue(float x) {
  if (std::isnan(x) || x == value_) return;
  if (x < min_) x = min_;
  if (x > max_) x = max_;
  assign(x);
}

void NumericParameter::setTypedValue(float x) {
  if (std::isnan(x) || x == value_) return;
  assign(x);
}

void NumericParameter::setDefaultVal(float x) {
  if (std::isnan(x)) return;
  if (x < min_) x = min_;
  if (x > max_) x = max_;
  defaultVal_ = x;
}

void NumericParameter::addChangeListener(std::function<void()> listener) {
  listeners_.push_back(std::move(listener));
}

void NumericParameter::assign(float x) {
  value_ = x;
  intValue_ = roundHalfEven(x);
  for (const auto& listener : listeners_) listener();
}

}  // namespace rillmark
