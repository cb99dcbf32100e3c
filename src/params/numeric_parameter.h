// A numeric parameter of the control panel: the single copy of one value,
// which a spinner shows and a run reads whenever it takes its parameters.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rillmark {

class NumericParameter {
 public:
  struct Bounds {
    float startValue;
    float defaultVal;
    float min;
    float max;
    float increment;
  };

  NumericParameter(std::string caption, Bounds bounds);

  const std::string& caption() const { return caption_; }
  float Value() const { return value_; }
  std::int32_t IntValue() const { return intValue_; }
  float Min() const { return min_; }
  float Max() const { return max_; }
  float Increment() const { return increment_; }
  float DefaultVal() const { return defaultVal_; }

  // The setter every program path uses: an equal value changes nothing;
  // otherwise the value is clamped into [Min, Max] and listeners are told.
  // NaN is ignored, so no reader ever sees a value that compares with
  // nothing.
  void setValue(float x);

  // What the user typed into the spinner, taken without clamping. NaN is
  // still refused.
  void setTypedValue(float x);

  void setDefaultVal(float x);

  // Called after every change of Value (the spinner rewrites its text).
  void addChangeListener(std::function<void()> listener);

 private:
  void assign(float x);

  std::string caption_;
  float value_;
  std::int32_t intValue_;
  float min_;
  float max_;
  float increment_;
  float defaultVal_;
  std::vector<std::function<void()>> listeners_;
};

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4),
// saturating at the 32-bit range for values typed far outside any bound.
std::int32_t roundHalfEven(float x);

}  // namespace rillmark
