#include "params/parameter_set.h"

#include <cfloat>
#include <cmath>

namespace rillmark {

double ParameterSet::value(const ParameterEntry& entry) const {
  double result = 0.0;
  visit(entry.id, [&](const auto& model) {
    using Model = std::remove_cvref_t<decltype(model)>;
    if constexpr (std::is_same_v<Model, NumericParameter>) {
      result = entry.kind == ParameterKind::Integer ? model.IntValue() : model.Value();
    } else if constexpr (std::is_same_v<Model, FlagParameter>) {
      result = model.checked() ? 1.0 : 0.0;
    } else {
      result = model.index();
    }
  });
  return result;
}

void ParameterSet::setValue(const ParameterEntry& entry, double value) {
  if (std::isnan(value)) return;
  visit(entry.id, [&](auto& model) {
    using Model = std::remove_cvref_t<decltype(model)>;
    if constexpr (std::is_same_v<Model, NumericParameter>) {
      // Beyond the float range the setter's clamp still applies.
      const float x = std::fabs(value) > FLT_MAX ? std::copysign(HUGE_VALF, static_cast<float>(value))
                                                  : static_cast<float>(value);
      model.setValue(x);
    } else if constexpr (std::is_same_v<Model, FlagParameter>) {
      model.setChecked(value != 0.0);
    } else {
      // Clamped here first: a double far outside the int range has no int.
      model.setIndex(static_cast<int>(std::fmax(-1.0, std::fmin(value, model.itemCount() - 1.0))));
    }
  });
}

}  // namespace rillmark
