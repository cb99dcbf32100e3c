#include "ui/control_panel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "base/error.h"
#include "hostapi/host_calls.h"
#include "scene/scene_helpers.h"
#include "support/open_answers.h"
#include "support/panel_fixture.h"
#include "support/panel_layout.h"
#include "support/recording_run_view.h"

namespace rillmark {
namespace {

using testing::PanelFixture;
using ui::Control;
using ui::Point;
using ui::Rect;
namespace headless = ui::headless;

const Control* findControl(const Control& root, const std::string& name) {
  if (root.name() == name) return &root;
  for (const auto& child : root.children())
    if (const Control* found = findControl(*child, name)) return found;
  return nullptr;
}

class ControlPanel : public PanelFixture {
 protected:
  const Control& named(const std::string& name) const {
    const Control* c = findControl(*panel, name);
    if (c == nullptr) throw std::runtime_error("no control " + name);
    return *c;
  }
  void chooseTab(int index) {
    const Rect tab = panel->PageControl1->tabRect(index);
    user.click(*panel, {tab.x + tab.width / 2, tab.y + tab.height / 2});
  }
  // A water grid, and a sphere named Ball that sinks through it, its
  // centre at the water's height at frame 50 and touching it from frame 40
  // to 60.
  HostHandle buildScene() {
    HostHandle water = refhost::addGrid("Water", 31, 31, 6.0f, 6.0f, 0.0f);
    HostHandle ball = host::tsxCreateSphere(12, 6, 0.4f);
    host::tsxSceneAddObject(ball, 1);
    refhost::setName(ball, "Ball");
    refhost::addLocationKey(ball, 0.0f, {1.0f, -0.5f, 2.0f});
    refhost::addLocationKey(ball, 100.0f, {1.0f, -0.5f, -2.0f});
    return water;
  }
  int outerHeight() const { return panel->outerSize().height; }
};

TEST_F(ControlPanel, EveryControlStartsWhereAndAsTheDesignSays) {
  for (const auto& c : testing::kPanelLayout) {
    const Control& control = named(c.name);
    EXPECT_EQ(control.bounds(), c.bounds) << c.name;
    EXPECT_EQ(control.caption(), c.caption) << c.name;
    EXPECT_EQ(control.enabled(), c.enabled) << c.name;
  }
  const struct {
    const TGlideSpinner* spinner;
    int editWidth;
  } edits[] = {{panel->spinamp, 34},        {panel->spinlat, 34},     {panel->spinnoisescale, 35},
               {panel->spinoctaves, 35},    {panel->spinstart, 30},   {panel->spinend, 30},
               {panel->spinstep, 20}};
  for (const auto& e : edits) {
    EXPECT_EQ(e.spinner->EditWidth(), e.editWidth) << e.spinner->name();
    EXPECT_EQ(e.spinner->EditColor(), (ui::Color{114, 114, 114}));
    EXPECT_EQ(e.spinner->Sens, 21);
    EXPECT_EQ(e.spinner->edit().bounds().right(), e.spinner->width() - 17) << "17 pixels from the right edge";
  }
  EXPECT_EQ(panel->PageControl1->activePageIndex(), 0);
  EXPECT_EQ(panel->Image1->bounds().x, 6);
  EXPECT_EQ(panel->Image6->bounds().height, 30);
  EXPECT_EQ(panel->spinamp->edit().text(), "0.5");
  EXPECT_EQ(panel->spinfreq->edit().text(), "0.06");
  EXPECT_EQ(panel->radiodisturbance->itemIndex(), 0);
  EXPECT_TRUE(panel->boxrec->checked() && panel->boxrange->checked() && panel->boxspike->checked());
  EXPECT_FALSE(panel->boxwind->checked());
  EXPECT_EQ(status(), "");
  EXPECT_EQ(outerHeight(), 386);
}

TEST_F(ControlPanel, HintsFollowThePointerAndStay) {
  refhost::select(buildScene());
  click(panel->btnselect);
  const std::pair<const Control*, const char*> animation[] = {
      {panel->btnselect, "Set Active Object as Water"}, {panel->btneffector, "Create New Effector"},
      {panel->btnshow, "Show Effector Objects"},        {panel->btnhide, "Hide Effector Objects"},
      {panel->btnwater, "Water Preset"},                {panel->BitBtn2, "Honey/Molasses Preset"},
      {panel->BitBtn5, "Snow/Mud Preset"},              {panel->btnload, "Load Parameters"},
      {panel->btnsave, "Save Parameters"},              {panel->btnstart, "Start Simulation"},
      {panel->btndelanim, "Erase Vertex Animation"},    {panel->Button1, "Show Online Help"},
  };
  for (const auto& [control, hint] : animation) {
    user.moveTo(*panel, headless::HeadlessUser::centreOf(*control));
    EXPECT_EQ(status(), hint) << control->name();
  }
  // The spinner's caption shows its hint; the next spinner has none.
  user.moveTo(*panel, panel->spinamp->originInForm());
  EXPECT_EQ(status(), "Height of Waves");
  user.moveTo(*panel, panel->spinfreq->originInForm());
  EXPECT_EQ(status(), "Height of Waves");
  // A disabled button takes no mouse, so it shows no hint.
  user.moveTo(*panel, headless::HeadlessUser::centreOf(*panel->btnstop));
  EXPECT_EQ(status(), "Height of Waves");

  chooseTab(1);
  user.moveTo(*panel, headless::HeadlessUser::centreOf(*panel->btnrefresh));
  EXPECT_EQ(status(), "Refresh List");
  user.moveTo(*panel, headless::HeadlessUser::centreOf(*panel->btnselbyname));
  EXPECT_EQ(status(), "Select Effectors by Name");
  chooseTab(2);
  const std::pair<const Control*, const char*> wind[] = {
      {panel->SpeedButton1, "Create/Identify Wind Source"},
      {panel->btnshowwind, "Show Wind Source Object"},
      {panel->btnhidewind, "Hide Wind Source Object"},
  };
  for (const auto& [control, hint] : wind) {
    user.moveTo(*panel, headless::HeadlessUser::centreOf(*control));
    EXPECT_EQ(status(), hint) << control->name();
  }
}

TEST_F(ControlPanel, RollsUpAndDown) {
  click(panel->BitBtn1);
  EXPECT_EQ(outerHeight(), 164);
  EXPECT_EQ(panel->Statusbar->bounds().bottom(), panel->clientSize().height) << "the status bar stays in view";
  EXPECT_EQ(panel->Panel2->bounds().bottom(), panel->Statusbar->bounds().y);
  click(panel->BitBtn1);
  EXPECT_EQ(outerHeight(), 386);
  click(panel->BitBtn1);
  chooseTab(0);  // a mouse release on the tab row unrolls
  EXPECT_EQ(outerHeight(), 386);
  EXPECT_FALSE(panel->Compact());
  click(panel->BitBtn1);
  EXPECT_EQ(outerHeight(), 164);
  user.doubleClick(*panel, {20, panel->Statusbar->bounds().y + 9});
  EXPECT_EQ(outerHeight(), 386);
  EXPECT_EQ(panel->Statusbar->bounds(), (Rect{0, 344, 180, 19}));
}

TEST_F(ControlPanel, SelectingTheWaterEnablesStartAndTheEffectorsPage) {
  chooseTab(1);
  user.click(*panel, headless::HeadlessUser::centreOf(*panel->btnrefresh));
  EXPECT_EQ(panel->Effectors.count(), 0) << "the disabled page's controls do not respond";

  chooseTab(0);
  click(panel->btnselect);
  EXPECT_EQ(platform.messages, std::vector<std::string>{"No object Selected"});
  EXPECT_FALSE(panel->btnstart->enabled());

  refhost::select(buildScene());
  chooseTab(0);
  click(panel->btnselect);
  EXPECT_EQ(panel->btnselect->caption(), "Water selected");
  EXPECT_TRUE(panel->btnstart->enabled());
  EXPECT_TRUE(panel->TabSheet2->enabled());
  ASSERT_EQ(panel->Effectors.count(), 1);
  EXPECT_EQ(panel->listeffectors->itemText(0), "Ball");
  EXPECT_FALSE(panel->btncontinue->enabled());

  // Escape does nothing while Stop is disabled.
  user.pressKey(ui::kKeyEscape);
  EXPECT_FALSE(state().Counters.StopRequested);
}

TEST_F(ControlPanel, TheEffectorListChecksAndPicksWithMouseAndKeys) {
  refhost::select(buildScene());
  click(panel->btnselect);
  chooseTab(1);
  const Point item = panel->listeffectors->originInForm();
  user.click(*panel, {item.x + 8, item.y + 8});  // on the check box
  EXPECT_TRUE(panel->Effectors.item(0).checked);
  EXPECT_EQ(ObjectName(refhost::selection()), "Ball") << "the click selected the object in the host";
  refhost::select(nullptr);
  user.type(" ");
  EXPECT_FALSE(panel->Effectors.item(0).checked) << "space toggles the mark";
  EXPECT_EQ(ObjectName(refhost::selection()), "Ball") << "and selects the object too";
}

using ControlPanelRun = ::rillmark::testing::UnderOpenAnswers<ControlPanel>;

TEST_P(ControlPanelRun, AWholeRunDrivenByClicksStopsOnEscapeAndContinues) {
  refhost::select(buildScene());
  click(panel->btnselect);
  chooseTab(1);
  const Point item = panel->listeffectors->originInForm();
  user.click(*panel, {item.x + 8, item.y + 8});

  bool escaped = false;
  headless::windows().onProcessMessages = [&] {
    if (!escaped && state().Counters.CurrentFrame >= 46) {
      escaped = true;
      user.pressKey(ui::kKeyEscape);
    }
  };
  click(panel->btnstart);
  EXPECT_TRUE(escaped);
  EXPECT_LT(state().Counters.CurrentFrame, 52) << "Escape stopped the run";
  EXPECT_TRUE(panel->btncontinue->enabled() && panel->btnstop->enabled());
  const int events = state().Events.EventCount();
  EXPECT_GT(events, 0) << "the ball touched the water before the stop";

  click(panel->btncontinue);
  EXPECT_EQ(state().Counters.CurrentFrame, 102);
  EXPECT_GT(state().Events.EventCount(), events);
  EXPECT_EQ(status().rfind("Frame:100  Events:", 0), 0u) << status();

  const auto keys = refhost::vertexKeys(state().WaterObject);
  EXPECT_EQ(keys.size(), 51u);
  float highest = 0;
  for (const HostVec3& v : keys.at(60)) highest = std::max(highest, std::abs(v.z));
  EXPECT_GT(highest, 0.001f) << "the keys hold ripples";
}

RILLMARK_UNDER_OPEN_ANSWERS(ControlPanelRun);

TEST_F(ControlPanel, TheInformationPanelShowsTheRunWhileInView) {
  refhost::select(buildScene());
  click(panel->btnselect);
  click(panel->btnstart);
  EXPECT_EQ(panel->labframes->caption(), "") << "out of view, the figures are left alone";

  click(panel->btninfo);
  EXPECT_EQ(panel->panelinfo->bounds().x, 6);
  EXPECT_TRUE(state().Counters.InfoPanelVisible);
  int shownDuringRun = -1;
  headless::windows().onProcessMessages = [&] {
    if (state().Counters.CurrentFrame == 60) shownDuringRun = std::atoi(panel->labframes->caption().c_str());
  };
  click(panel->btnstart);
  EXPECT_GE(shownDuringRun, 58) << "each frame fills the panel";
  EXPECT_EQ(panel->labframes->caption(), "100");
  EXPECT_NE(panel->labtime->caption(), "");

  click(panel->btninfoclose);  // "Ok" acts as "i"
  EXPECT_EQ(panel->panelinfo->bounds().x, 182);
  EXPECT_FALSE(state().Counters.InfoPanelVisible);
  EXPECT_EQ(panel->labframes->caption(), "100") << "out of view it keeps its values";
  click(panel->btninfo);
  click(panel->btninfo);
  EXPECT_EQ(panel->panelinfo->bounds().x, 182);
  EXPECT_FALSE(state().Counters.InfoPanelVisible);
}

TEST_F(ControlPanel, ClosingDuringARunStopsItFirst) {
  refhost::select(buildScene());
  click(panel->btnselect);
  const auto alive = panel->watch();
  const int window = headless::windows().live.front()->id();
  headless::windows().onProcessMessages = [&] {
    if (state().Counters.CurrentFrame == 10 && Form1 != nullptr) panel->closeRequested();
  };
  click(panel->btnstart);
  EXPECT_TRUE(alive.expired()) << "the panel went once the run had left";
  EXPECT_EQ(Form1, nullptr);
  EXPECT_EQ(headless::windows().destroyed, std::vector<int>{window});
  EXPECT_FALSE(state().RunInProgress);
  EXPECT_LE(state().Counters.CurrentFrame, 12);
}

// A run on this panel finds messages due at every chance it has to process
// them, also between two events of a pass, so a test can act there.
class ControlPanelPumpingOften : public ControlPanel {
 protected:
  ControlPanelPumpingOften() {
    delete Form1;
    setActivePlatform(&pumpingOften);
    openPanel();
  }
  ~ControlPanelPumpingOften() override {
    delete Form1;
    Form1 = nullptr;
    setActivePlatform(&platform);
  }
  // True inside the pass of frame, while it works through its events.
  bool inPassOf(int frame) const {
    return state().Counters.CurrentFrame == frame && state().Events.EventCount() > 0 && state().RunInProgress &&
           status().rfind("Frame:" + std::to_string(frame) + " ", 0) == 0;
  }
  SimulationState& state() const { return ModuleSimulation(); }

  testing::FakePlatform pumpingOften;
};

// The user closes the panel in the middle of a frame and opens it again
// with the plug-in's icon before that frame is done: the run keeps its
// events, keys that frame as an undisturbed run does, and ends there, as
// the close asked; the old panel goes once the run has left.
TEST_F(ControlPanelPumpingOften, APanelReopenedDuringAFrameLeavesTheRunAsItWas) {
  refhost::select(buildScene());
  click(panel->btnselect);
  panel->Effectors.setChecked(0, true);
  click(panel->btnstart);
  const auto undisturbed = refhost::vertexKeys(state().WaterObject);
  ASSERT_EQ(undisturbed.size(), 51u);

  TForm1* first = panel;
  const auto firstAlive = first->watch();
  headless::windows().onProcessMessages = [&] {
    if (panel != first || !inPassOf(50)) return;
    first->closeRequested();
    openPanel();
  };
  click(first->btnstart);
  ASSERT_NE(panel, first) << "the panel was reopened during frame 50";
  EXPECT_TRUE(firstAlive.expired());
  EXPECT_EQ(Form1, panel);
  EXPECT_FALSE(state().RunInProgress);
  EXPECT_GT(state().Events.EventCount(), 0) << "the new panel found the run's events and left them";

  const auto keys = refhost::vertexKeys(state().WaterObject);
  ASSERT_EQ(keys.size(), 26u) << "frames 0 to 50, then the close's stop";
  for (const auto& [frame, heights] : keys) {
    ASSERT_EQ(heights.size(), undisturbed.at(frame).size());
    for (std::size_t i = 0; i < heights.size(); ++i)
      ASSERT_EQ(heights[i].z, undisturbed.at(frame)[i].z) << "frame " << frame << ", vertex " << i;
  }
}

// A run that fails after its panel was closed still frees the panel, and
// the failure is shown.
TEST_F(ControlPanel, ARunFailingAfterItsPanelClosedStillFreesIt) {
  refhost::select(buildScene());
  click(panel->btnselect);
  const auto alive = panel->watch();
  headless::windows().onProcessMessages = [&] {
    if (state().Counters.CurrentFrame != 10 || Form1 == nullptr) return;
    panel->closeRequested();
    hostApi().tsxSobjSetFrame = [](HostHandle, int) { throw Error("The host failed to key the water"); };
  };
  click(panel->btnstart);
  EXPECT_TRUE(alive.expired()) << "the panel went after the failed run";
  EXPECT_EQ(Form1, nullptr);
  EXPECT_FALSE(state().RunInProgress);
  EXPECT_EQ(platform.messages, std::vector<std::string>{"The host failed to key the water"});
}

TEST_F(ControlPanel, ClosingAndReopeningBringsBackEveryStartValue) {
  panel->Params.amplitude.setValue(7.0f);
  click(panel->BitBtn2);
  click(panel->BitBtn1);
  chooseTab(2);
  user.click(*panel, headless::HeadlessUser::centreOf(*panel->boxwind));
  EXPECT_TRUE(panel->boxwind->checked());
  EXPECT_FLOAT_EQ(panel->Params.speed.Value(), 0.3f) << "the honey preset";

  panel->closeRequested();
  EXPECT_EQ(Form1, nullptr);
  openPanel();
  EXPECT_EQ(panel->Params.amplitude.Value(), 0.5f);
  EXPECT_EQ(panel->Params.speed.Value(), 0.75f);
  EXPECT_FALSE(panel->boxwind->checked());
  EXPECT_EQ(panel->PageControl1->activePageIndex(), 0);
  EXPECT_EQ(outerHeight(), 386);
}

TEST_F(ControlPanel, PresetFilesGoThroughTheLineBufferAndErrorsAreShown) {
  const std::string path = (std::filesystem::temp_directory_path() / "rillmark_panel_test.rmp").string();
  platform.chosenFile = path;
  click(panel->BitBtn5);
  click(panel->btnsave);
  EXPECT_EQ(panel->boxparams->items().size(), 10u);
  click(panel->btnwater);
  click(panel->btnload);
  EXPECT_EQ(panel->Params.speed.Value(), 0.0f) << "the snow preset came back from the file";
  std::remove(path.c_str());

  click(panel->btnload);
  EXPECT_EQ(platform.messages, std::vector<std::string>{"Cannot open file " + path});
  EXPECT_TRUE(panel->boxparams->items().empty());
  // A folder where the file should go is not replaced.
  const std::string folder = std::filesystem::temp_directory_path().string();
  platform.chosenFile = folder;
  click(panel->btnsave);
  EXPECT_EQ(platform.messages.back(), "Cannot create file " + folder);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  click(panel->BitBtn2);  // the panel goes on working
  EXPECT_FLOAT_EQ(panel->Params.speed.Value(), 0.3f);
}

}  // namespace
}  // namespace rillmark
