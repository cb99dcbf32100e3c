// What the scene setup commands need of the control panel. The panel
// implements it; tests and the demo use headless implementations.
#pragma once

#include <string_view>

namespace rillmark {

class SetupView {
 public:
  virtual ~SetupView() = default;

  // The caption of the select-water button.
  virtual void setSelectCaption(std::string_view caption) = 0;
  // Enables Start and the "Effectors" page once a water is chosen.
  virtual void enableStartAndEffectors() = 0;
  // Index of the effector list's current item, or -1 when there is none.
  virtual int currentEffectorItem() = 0;
};

}  // namespace rillmark
