// Every value the user adjusts on the control panel and the simulation
// reads: one model per row of the parameter table, under the row's
// identifier (amplitude, lifeSpan, recordKeys, ...). The panel's controls
// display these objects; nothing else keeps a copy of a value. Code that
// treats all parameters alike reaches them by table entry.
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include "params/choice_parameter.h"
#include "params/flag_parameter.h"
#include "params/numeric_parameter.h"
#include "params/parameter_table.h"

namespace rillmark {

// The model class of each kind.
template <ParameterKind K>
using ParameterModel =
    std::conditional_t<K == ParameterKind::Flag, FlagParameter,
                       std::conditional_t<K == ParameterKind::Choice, ChoiceParameter, NumericParameter>>;

// A model at the entry's start values.
template <ParameterKind K>
ParameterModel<K> makeParameterModel(const ParameterEntry& entry) {
  const std::string caption(entry.caption);
  if constexpr (K == ParameterKind::Flag) {
    return FlagParameter(caption, entry.start != 0.0f);
  } else if constexpr (K == ParameterKind::Choice) {
    return ChoiceParameter(caption, std::vector<std::string>(entry.items.begin(), entry.items.end()),
                           static_cast<int>(entry.start));
  } else {
    return NumericParameter(caption, {entry.start, entry.start, entry.min, entry.max, entry.increment});
  }
}

// The value a reader takes: Value of a Float, IntValue of an Integer.
template <ParameterKind K>
ParameterValue<K> currentValue(const ParameterModel<K>& model) {
  if constexpr (K == ParameterKind::Float) {
    return model.Value();
  } else if constexpr (K == ParameterKind::Integer) {
    return model.IntValue();
  } else if constexpr (K == ParameterKind::Flag) {
    return model.checked();
  } else {
    return model.index();
  }
}

struct ParameterSet {
#define RILLMARK_PARAMETER(identifier, kind, ...)                                            \
  ParameterModel<ParameterKind::kind> identifier =                                           \
      makeParameterModel<ParameterKind::kind>(parameterEntry(ParameterId::identifier));
#include "params/parameter_table.inc"
#undef RILLMARK_PARAMETER

  // Calls f with the model of the parameter.
  template <class F>
  void visit(ParameterId id, F&& f) {
    switch (id) {
#define RILLMARK_PARAMETER(identifier, kind, ...) \
  case ParameterId::identifier:                   \
    f(identifier);                                \
    return;
#include "params/parameter_table.inc"
#undef RILLMARK_PARAMETER
    }
  }
  template <class F>
  void visit(ParameterId id, F&& f) const {
    const_cast<ParameterSet*>(this)->visit(id, [&](const auto& model) { f(model); });
  }

  // The model of a parameter of that kind; null for another kind.
  NumericParameter* numeric(ParameterId id) { return modelOf<NumericParameter>(id); }
  FlagParameter* flag(ParameterId id) { return modelOf<FlagParameter>(id); }
  ChoiceParameter* choice(ParameterId id) { return modelOf<ChoiceParameter>(id); }
  const NumericParameter* numeric(ParameterId id) const { return const_cast<ParameterSet*>(this)->numeric(id); }
  const FlagParameter* flag(ParameterId id) const { return const_cast<ParameterSet*>(this)->flag(id); }
  const ChoiceParameter* choice(ParameterId id) const { return const_cast<ParameterSet*>(this)->choice(id); }

  // A parameter's value as one number: Value of a Float, IntValue of an
  // Integer, 1 or 0 of a flag, the index of a choice.
  double value(const ParameterEntry& entry) const;
  // Sets it through the model's own setter, so bounds are kept and an
  // equal value changes nothing: a numeric value is clamped into
  // [Min, Max], a flag is checked for anything but 0, a choice's index is
  // clamped into [-1, items - 1]. NaN changes nothing.
  void setValue(const ParameterEntry& entry, double value);

 private:
  template <class Model>
  Model* modelOf(ParameterId id) {
    Model* found = nullptr;
    visit(id, [&](auto& model) {
      if constexpr (std::is_same_v<std::remove_cvref_t<decltype(model)>, Model>) found = &model;
    });
    return found;
  }
};

}  // namespace rillmark
