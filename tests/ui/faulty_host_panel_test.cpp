// The control panel over a host that misbehaves: a selection it has
// deleted, objects it deletes while a run processes messages, names it
// reports wrongly, and a release without the 4.1 functions.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "commands/scene_commands.h"
#include "hostapi/host_calls.h"
#include "refhost/host_exports.h"
#include "scene/scene_helpers.h"
#include "sim/run_control.h"
#include "support/panel_fixture.h"

namespace rillmark {
namespace {

using testing::PanelFixture;
namespace headless = ui::headless;

class FaultyHostPanel : public PanelFixture {
 protected:
  // A water grid and a ball sinking through it from frame 0 to 100.
  HostHandle buildScene() {
    HostHandle water = refhost::addGrid("Water", 21, 21, 6.0f, 6.0f, 0.0f);
    ball = host::tsxCreateSphere(12, 6, 0.4f);
    host::tsxSceneAddObject(ball, 1);
    refhost::setName(ball, "Ball");
    refhost::addLocationKey(ball, 0.0f, {1.0f, -0.5f, 2.0f});
    refhost::addLocationKey(ball, 100.0f, {1.0f, -0.5f, -2.0f});
    return water;
  }
  void selectWater(HostHandle water) {
    refhost::select(water);
    click(panel->btnselect);
    panel->Effectors.setChecked(0, true);
  }
  void chooseTab(int index) {
    const ui::Rect tab = panel->PageControl1->tabRect(index);
    user.click(*panel, {tab.x + tab.width / 2, tab.y + tab.height / 2});
  }
  // The plug-in's calls with a handle after the host let go of it, other
  // than asking whether it is still an object.
  static std::vector<std::string_view> callsWithDeadHandle(HostHandle dead, std::size_t from) {
    std::vector<std::string_view> names;
    for (std::size_t i = from; i < refhost::calls().size(); ++i) {
      const refhost::Call& call = refhost::calls()[i];
      if (call.handle == dead && call.name != "tsxIsSobj") names.push_back(call.name);
    }
    return names;
  }

  HostHandle ball = nullptr;
};

TEST_F(FaultyHostPanel, ASelectionTheHostHasDeletedIsNoSelection) {
  buildScene();
  refhost::Faults faults;
  faults.staleSelection = true;
  refhost::setFaults(faults);
  refhost::select(ball);
  host::tsxSobjDelete(ball);
  ASSERT_EQ(host::tsxGetCurrentSelection(), ball);
  refhost::clearCalls();
  click(panel->btnselect);
  EXPECT_EQ(platform.messages, std::vector<std::string>{kNoSelectionMessage});
  EXPECT_FALSE(panel->btnstart->enabled());
  EXPECT_EQ(state().WaterObject, nullptr);
  EXPECT_EQ(callsWithDeadHandle(ball, 0), std::vector<std::string_view>{});
}

TEST_F(FaultyHostPanel, TheHostDeletingTheWaterMidRunEndsItAndThePanelCarriesOn) {
  selectWater(buildScene());
  HostHandle deleted = nullptr;
  std::size_t callsAfter = 0;
  headless::windows().onProcessMessages = [&] {
    // Past frame 50 the ball has left events, so this pump is in a pass.
    if (deleted != nullptr || state().Counters.CurrentFrame < 50 || state().Events.EventCount() == 0) return;
    deleted = state().WaterObject;
    host::tsxSobjDelete(deleted);
    callsAfter = refhost::calls().size();
  };
  click(panel->btnstart);
  ASSERT_NE(deleted, nullptr);
  EXPECT_EQ(platform.messages, std::vector<std::string>{kSelectWaterMessage});
  EXPECT_EQ(panel->btnselect->caption(), kSelectWaterCaption);
  EXPECT_LE(state().Counters.CurrentFrame, 52);
  EXPECT_EQ(callsWithDeadHandle(deleted, callsAfter), std::vector<std::string_view>{});

  // Continue has nothing to go on with; a new water runs to the end.
  headless::windows().onProcessMessages = nullptr;
  click(panel->btncontinue);
  EXPECT_EQ(platform.messages.size(), 2u);
  selectWater(refhost::addGrid("Pond", 11, 11, 4.0f, 4.0f, 0.0f));
  click(panel->btnstart);
  EXPECT_EQ(state().Counters.CurrentFrame, 102);
  EXPECT_EQ(refhost::vertexKeys(state().WaterObject).size(), 51u);
  EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(FaultyHostPanel, EffectorsAndTheWindSourceDeletedMidRunAreSimplyMissed) {
  selectWater(buildScene());
  chooseTab(2);
  click(panel->SpeedButton1);  // Get/Make Source
  const HostHandle source = state().WindSourceObject;
  ASSERT_TRUE(panel->Params.wind.checked());
  std::size_t callsAfter = 0;
  headless::windows().onProcessMessages = [&] {
    if (callsAfter != 0 || state().Counters.CurrentFrame < 50 || state().Events.EventCount() == 0) return;
    host::tsxSobjDelete(ball);
    host::tsxSobjDelete(source);
    callsAfter = refhost::calls().size();
  };
  click(panel->btnstart);
  ASSERT_NE(callsAfter, 0u);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(state().Counters.CurrentFrame, 102) << "the run goes on to the end";
  EXPECT_FALSE(panel->Params.wind.checked()) << "without its source the wind switches off";
  EXPECT_EQ(callsWithDeadHandle(ball, callsAfter), std::vector<std::string_view>{});
  EXPECT_EQ(callsWithDeadHandle(source, callsAfter), std::vector<std::string_view>{});
  for (const auto& [frame, keyed] : refhost::vertexKeys(state().WaterObject))
    for (const HostVec3& v : keyed) ASSERT_TRUE(std::isfinite(v.z)) << "frame " << frame;
}

// Names of 300 bytes, and lengths reported at or past the 255-byte buffer
// or below zero, with or without a terminator: every name the plug-in
// reads is what the host wrote, cut to 254 bytes, and no name in the scene
// changes through Refresh.
TEST_F(FaultyHostPanel, NamesReportedWronglyStayInsideTheirBuffer) {
  const std::string longName(300, 'W');
  const std::string effectorName = "Effector-" + std::string(291, 'e');
  for (const int length : {255, 256, 1000, INT_MAX, -1, INT_MIN}) {
    for (const bool unterminated : {false, true}) {
      SCOPED_TRACE(std::to_string(length) + (unterminated ? " unterminated" : ""));
      refhost::reset();
      platform.messages.clear();
      const HostHandle water = refhost::addGrid(longName, 5, 5, 2.0f, 2.0f, 0.0f);
      const HostHandle effector = refhost::addGrid(effectorName, 2, 2, 1.0f, 1.0f, 0.0f);
      const HostHandle small = refhost::addGrid("Ball", 2, 2, 1.0f, 1.0f, 0.0f);
      refhost::Faults faults;
      faults.nameLength = length;
      faults.unterminatedNames = unterminated;
      refhost::setFaults(faults);

      refhost::select(water);
      click(panel->btnselect);
      EXPECT_EQ(panel->btnselect->caption(), longName.substr(0, 254) + " selected");
      ASSERT_EQ(panel->Effectors.count(), 2);
      EXPECT_EQ(panel->Effectors.item(0).text, effectorName.substr(0, 254));
      EXPECT_TRUE(panel->Effectors.item(0).checked) << "the effector prefix survives the cut";
      EXPECT_EQ(panel->Effectors.item(1).text, "Ball");
      EXPECT_EQ(refhost::name(water), longName);
      EXPECT_EQ(refhost::name(effector), effectorName);
      EXPECT_EQ(refhost::name(small), "Ball");
      EXPECT_EQ(FindObjectByName(effectorName.substr(0, 254)), effector);
      EXPECT_TRUE(platform.messages.empty());
    }
  }
}

// A 3.20 host has neither the noise functions nor the vertex moves of 4.1.
TEST_F(FaultyHostPanel, AHostBelow410NeverSeesACallOfItsMissingFunctions) {
  refhost::setVersion(320, 0);
  hostApiLevel() = 320;
  selectWater(buildScene());
  click(panel->btneffector);
  ASSERT_EQ(panel->Effectors.count(), 2);
  EXPECT_EQ(panel->Effectors.item(1).text, "Effector-0");
  EXPECT_TRUE(panel->Effectors.item(1).checked);
  const HostHandle effector = FindObjectByName("Effector-0");
  ASSERT_NE(effector, nullptr);
  EXPECT_TRUE(refhost::inScene(effector));
  HostVec3 size{};
  host::tsxGNodeGetSize(effector, &size);
  EXPECT_NEAR(size.z, 0.8f, 1e-5f) << "an unshaped sphere, as tall as a shaped one";

  chooseTab(2);
  click(panel->SpeedButton1);
  EXPECT_EQ(platform.messages, std::vector<std::string>{kWindNeedsNoiseMessage});
  EXPECT_EQ(state().WindSourceObject, nullptr);
  EXPECT_EQ(FindObjectByName(kWindSourceName), nullptr);

  // Wind checked by hand, with a source from a later release's scene: the
  // run adds none.
  state().WindSourceObject = effector;
  panel->Params.wind.setChecked(true);
  panel->Effectors.setChecked(0, false);
  panel->Effectors.setChecked(1, false);
  chooseTab(0);
  click(panel->btnstart);
  EXPECT_EQ(state().Counters.CurrentFrame, 102);
  for (const HostVec3& v : refhost::vertices(state().WaterObject)) EXPECT_EQ(v.z, 0.0f);
  for (const char* name : {"tsxPolyhSelectVertices", "tsxPointsTranslate", "tsxPolyhDeselectAll", "tssNoise3",
                           "tssNoise3Classic", "tssNoise3Perlin", "tssTurbulence3", "tssTurbulence3Classic",
                           "tssTurbulence3Perlin", "tssTurbulence3SparseConv", "tsxGNodeSetDrawingMode"})
    EXPECT_EQ(refhost::callCount(name), 0) << name;
}

}  // namespace
}  // namespace rillmark
