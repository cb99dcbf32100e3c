// The control-panel commands that set up a run: choose the water, fill and
// edit the effector list, create effectors, and find or make the wind
// source. They change only the effector list, its check marks and the
// handles of the simulation state; a run reads them afresh every frame.
#pragma once

#include <cstdint>
#include <string>

#include "commands/setup_view.h"
#include "params/parameter_set.h"
#include "platform/platform.h"
#include "scene/effector_list.h"
#include "sim/simulation_state.h"

namespace rillmark {

inline constexpr const char* kNoSelectionMessage = "No object Selected";
inline constexpr const char* kWindSourceName = "Wind Source";
inline constexpr const char* kWindNeedsNoiseMessage =
    "The wind needs trueSpace version 4.10 or later: this version has no noise functions.";

class SceneCommands {
 public:
  SceneCommands(SimulationState& state, ParameterSet& params, EffectorList& effectors, SetupView& view,
                Platform& platform)
      : state_(state), params_(params), effectors_(effectors), view_(view), platform_(platform) {}

  // Water and effectors.
  void btnselectClick();
  void btnrefreshClick();
  void btnselbynameClick();
  void listeffectorsClick();
  void listeffectorsKeyPress(char key);
  void btneffectorClick();
  void btnshowClick();
  void btnhideClick();

  // Wind source.
  void SpeedButton1Click();
  void btnshowwindClick();
  void btnhidewindClick();

  // Checks every item with the effector prefix; never clears a mark.
  void AutoCheckEffectors();
  // EffectorCount = the number of items with the effector prefix.
  void CountEffectorItems();

  // Counted afresh before each new effector is named; showing the panel
  // sets it to 0.
  std::int32_t EffectorCount = 0;

 private:
  void pickCurrentItem();
  void setEffectorsVisible(bool visible);
  void setWindSourceVisible(bool visible);

  SimulationState& state_;
  ParameterSet& params_;
  EffectorList& effectors_;
  SetupView& view_;
  Platform& platform_;
};

}  // namespace rillmark
