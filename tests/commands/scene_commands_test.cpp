#include "commands/scene_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/effector_prefix.h"
#include "scene/scene_helpers.h"
#include "support/open_answers.h"
#include "support/sim_fixture.h"

namespace rillmark::testing {
namespace {

class SceneCommandsTest : public UnderOpenAnswers<SimFixture> {
 protected:
  HostHandle poly(const std::string& name, HostHandle parent = nullptr) {
    return refhost::addPolyhedron(name, std::vector<HostVec3>{{0, 0, 0}, {1, 1, 1}}, parent);
  }
  std::vector<std::string> items() const {
    std::vector<std::string> names;
    for (const auto& item : effectors.items()) names.push_back(item.text + (item.checked ? " [x]" : ""));
    return names;
  }
  std::vector<std::string_view> callNames() const {
    std::vector<std::string_view> names;
    for (const auto& call : refhost::calls()) names.push_back(call.name);
    return names;
  }
  // The calls without those of the scene walks that find objects by name.
  std::vector<std::string_view> callsBesideWalks() const {
    std::vector<std::string_view> names;
    for (const auto& call : refhost::calls()) {
      const std::string_view n = call.name;
      if (n == "tsxSceneGetFirstNode" || n == "tsxIsGNode" || n == "tsxSobjGetType" || n == "tsxGNodeGetName" ||
          n == "tsxGNodeGetNext" || n == "tsxGNodeGetFirstChild")
        continue;
      names.push_back(n);
    }
    return names;
  }
  SceneCommands commands{state, params, effectors, view, platform};
};

TEST(EffectorPrefix, UpperCasesAsciiLettersOnly) {
  EXPECT_TRUE(hasEffectorPrefix("effector-x"));
  EXPECT_TRUE(hasEffectorPrefix("EFFECTORS"));
  EXPECT_FALSE(hasEffectorPrefix("Effecto"));
  EXPECT_FALSE(hasEffectorPrefix("Effect\xc3\xb6r"));
  EXPECT_EQ(upperAscii("a\xe9z"), "A\xe9Z");
}

TEST_P(SceneCommandsTest, SelectWaterWithoutASelectionChangesNothing) {
  commands.btnselectClick();
  EXPECT_EQ(platform.messages, (std::vector<std::string>{"No object Selected"}));
  EXPECT_EQ(state.WaterObject, nullptr);
  EXPECT_EQ(state.WaterSnapshot, nullptr);
  EXPECT_TRUE(view.selectCaption.empty());
  EXPECT_FALSE(view.startAndEffectorsEnabled);
}

TEST_P(SceneCommandsTest, SelectWaterListsEverythingButTheWaterAndChecksEffectors) {
  poly("effector-x");
  HostHandle water = poly("Effector-Water");
  poly("EFFECTORS");
  poly("Effecto");
  poly("Cube");
  poly("Cube");
  refhost::select(water);
  commands.btnselectClick();

  EXPECT_EQ(state.WaterObject, water);
  EXPECT_NE(state.WaterSnapshot, nullptr);
  EXPECT_FALSE(refhost::inScene(state.WaterSnapshot));
  EXPECT_EQ(view.selectCaption, "Effector-Water selected");
  EXPECT_TRUE(view.startAndEffectorsEnabled);
  EXPECT_EQ(items(), (std::vector<std::string>{"effector-x [x]", "EFFECTORS [x]", "Effecto", "Cube", "Cube,5"}));
}

TEST_P(SceneCommandsTest, TheSnapshotIsWhateverHandleTheHostGaveBack) {
  HostHandle water = poly("Water");
  refhost::select(water);
  refhost::setCopyAnswer(refhost::CopyAnswer::ZeroWithCopy);
  commands.btnselectClick();
  EXPECT_TRUE(refhost::isLive(state.WaterSnapshot));
  EXPECT_EQ(refhost::vertices(state.WaterSnapshot).size(), 2u);

  const HostHandle first = state.WaterSnapshot;
  refhost::setCopyAnswer(refhost::CopyAnswer::NonzeroWithoutCopy);
  commands.btnselectClick();
  EXPECT_EQ(state.WaterSnapshot, nullptr);
  EXPECT_EQ(state.WaterObject, water);
  EXPECT_FALSE(refhost::isLive(first)) << "the earlier snapshot is released";
}

TEST_P(SceneCommandsTest, AWaterRenamedByItsOwnRefreshKeepsTheOldCaption) {
  poly("Sea");
  HostHandle water = poly("Sea");
  refhost::select(water);
  commands.btnselectClick();
  EXPECT_EQ(view.selectCaption, "Sea selected");
  EXPECT_EQ(refhost::name(water), "Sea,1");
  EXPECT_EQ(items(), (std::vector<std::string>{"Sea"}));
}

TEST_P(SceneCommandsTest, RefreshDropsCheckMarksExceptThePrefixedOnes) {
  poly("Ball");
  poly("Effector-1");
  commands.btnrefreshClick();
  effectors.setChecked(0, true);
  effectors.setChecked(1, false);
  commands.btnrefreshClick();
  EXPECT_EQ(items(), (std::vector<std::string>{"Ball", "Effector-1 [x]"}));
}

TEST_P(SceneCommandsTest, NewEffectorsAreNumberedByThePrefixedItems) {
  commands.btneffectorClick();
  EXPECT_EQ(items(), (std::vector<std::string>{"Effector-0 [x]"}));
  commands.btneffectorClick();  // one prefixed item: Effector-1
  HostHandle second = FindObjectByName("Effector-1");
  ASSERT_NE(second, nullptr);
  tsxGNodeSetName(second, "Effector-2");
  effectors.clear();
  effectors.add("Effector-0");
  effectors.add("Effector-2");
  commands.btneffectorClick();
  commands.btneffectorClick();
  EXPECT_EQ(items(), (std::vector<std::string>{"Effector-0 [x]", "Effector-2 [x]", "Effector-2 [x]", "Effector-3 [x]"}));
  EXPECT_EQ(commands.EffectorCount, 3);
  // The next Refresh makes the repeated name unique.
  commands.btnrefreshClick();
  EXPECT_EQ(items(), (std::vector<std::string>{"Effector-0 [x]", "Effector-2 [x]", "Effector-2,2 [x]",
                                               "Effector-3 [x]"}));
}

TEST_P(SceneCommandsTest, CreateNewEffectorCallsTheHostInOrder) {
  for (short version : {430, 420}) {
    SCOPED_TRACE(version);
    refhost::setVersion(version, 0);
    refhost::clearCalls();
    commands.btneffectorClick();
    std::vector<std::string_view> expected{"tsxCreateSphere", "tsxSceneAddObject"};
    for (int ring = 0; ring < 2; ++ring)
      for (auto name : {"tsxPolyhSelectVertices", "tsxPointsTranslate", "tsxPolyhDeselectAll"}) expected.push_back(name);
    expected.push_back("tsxGetTsVersionNbrs");
    if (version == 430) expected.push_back("tsxGNodeSetDrawingMode");
    expected.push_back("tsxGNodeSetName");
    expected.push_back("tsxSceneDraw");
    EXPECT_EQ(callNames(), expected);

    const auto& calls = refhost::calls();
    EXPECT_EQ(calls[0].numbers, (std::vector<double>{12, 6, 0.4f}));
    HostHandle sphere = calls[1].handle;
    EXPECT_EQ(calls[1].numbers, (std::vector<double>{1}));
    std::vector<double> top{12}, bottom{12};
    for (int i = 2; i <= 13; ++i) top.push_back(i);
    for (int i = 50; i <= 61; ++i) bottom.push_back(i);
    EXPECT_EQ(calls[2].numbers, top);
    EXPECT_EQ(calls[3].numbers, (std::vector<double>{0, 0, -0.125, 0}));
    EXPECT_EQ(calls[5].numbers, bottom);
    EXPECT_EQ(calls[6].numbers, (std::vector<double>{0, 0, 0.125, 0}));
    EXPECT_EQ(refhost::drawingMode(sphere), version == 430 ? 4 : 0);
  }
}

TEST_P(SceneCommandsTest, SelectByNameChecksMatchesAndCancelMeansEffector) {
  for (const char* name : {"Sphere", "SPHERE,3", "Cube", "sp", "effector-9", "Effector"}) effectors.add(name);
  platform.answers = {"sph"};
  commands.btnselbynameClick();
  EXPECT_EQ(items(), (std::vector<std::string>{"Sphere [x]", "SPHERE,3 [x]", "Cube", "sp", "effector-9", "Effector"}));
  ASSERT_EQ(platform.dialogs.size(), 1u);
  EXPECT_EQ(platform.dialogs[0].caption, "Select by name");
  EXPECT_EQ(platform.dialogs[0].prompt, "All the objects starting with this text will be selected");
  EXPECT_EQ(platform.dialogs[0].defaultText, "Effector");

  commands.btnselbynameClick();  // cancelled
  EXPECT_EQ(items(), (std::vector<std::string>{"Sphere [x]", "SPHERE,3 [x]", "Cube", "sp", "effector-9 [x]",
                                               "Effector [x]"}));
  platform.answers = {""};
  commands.btnselbynameClick();
  for (const auto& item : effectors.items()) EXPECT_TRUE(item.checked) << item.text;
}

TEST_P(SceneCommandsTest, PickingAnItemSelectsItsObject) {
  poly("A");
  HostHandle b = poly("B");
  commands.btnrefreshClick();
  commands.listeffectorsClick();  // no current item
  EXPECT_EQ(refhost::callCount("tsxSelectSobj"), 0);
  view.currentItem = 1;
  commands.listeffectorsKeyPress(' ');
  EXPECT_EQ(refhost::selection(), b);
  const auto select = refhost::callsNamed("tsxSelectSobj");
  ASSERT_EQ(select.size(), 1u);
  EXPECT_EQ(select[0].numbers, (std::vector<double>{0, 0}));

  refhost::setName(b, "Renamed");
  refhost::select(nullptr);
  commands.listeffectorsClick();
  EXPECT_EQ(refhost::selection(), nullptr);
}

TEST_P(SceneCommandsTest, ShowAndHideTouchCheckedLiveItemsOnly) {
  HostHandle on = poly("Effector-a");
  HostHandle off = poly("Ball");
  HostHandle gone = poly("Effector-b");
  commands.btnrefreshClick();
  tsxSobjDelete(gone);
  refhost::setCurrentTime(7);
  refhost::clearCalls();
  commands.btnhideClick();
  EXPECT_EQ(callsBesideWalks(), (std::vector<std::string_view>{"tsxAnimSetPlayMode", "tsxAnimSetActiveFrame",
                                                        "tsxMNodeSetInvisible", "tsxSobjSetFrame", "tsxSceneDraw"}));
  EXPECT_FALSE(refhost::visible(on));
  EXPECT_TRUE(refhost::visible(off));
  EXPECT_EQ(refhost::callsNamed("tsxSobjSetFrame")[0].numbers, (std::vector<double>{24}));
  commands.btnshowClick();
  EXPECT_TRUE(refhost::visible(on));

  effectors.clear();
  refhost::clearCalls();
  commands.btnshowClick();
  EXPECT_EQ(callNames(), (std::vector<std::string_view>{"tsxAnimSetPlayMode", "tsxSceneDraw"}));
}

TEST_P(SceneCommandsTest, GetMakeSourceAdoptsAnExistingWindSourceOfAnyKind) {
  HostHandle existing = refhost::addObject("Wind Source", 7);
  refhost::clearCalls();
  commands.SpeedButton1Click();
  EXPECT_EQ(state.WindSourceObject, existing);
  EXPECT_TRUE(params.wind.checked());
  EXPECT_EQ(refhost::callCount("tsxCreateSphere"), 0);
  EXPECT_EQ(refhost::callCount("tsxSceneDraw"), 0);
}

TEST_P(SceneCommandsTest, GetMakeSourceMakesTheBrimmedSphere) {
  refhost::addObject("wind source", 7);  // another case is another name
  refhost::clearCalls();
  commands.SpeedButton1Click();
  const auto& calls = refhost::calls();
  std::vector<std::string_view> expected;
  std::size_t start = 0;
  for (const auto& call : calls) {
    if (call.name == "tsxCreateSphere") break;
    expected.push_back(call.name);  // the walk of FindObjectByName
    ++start;
  }
  expected.push_back("tsxCreateSphere");
  expected.push_back("tsxSceneAddObject");
  for (int ring = 0; ring < 4; ++ring)
    for (auto name : {"tsxPolyhSelectVertices", "tsxPointsTranslate", "tsxPolyhDeselectAll"}) expected.push_back(name);
  for (auto name : {"tsxGetTsVersionNbrs", "tsxGNodeSetDrawingMode", "tsxGNodeSetName", "tsxSceneDraw"})
    expected.push_back(name);
  EXPECT_EQ(callNames(), expected);

  EXPECT_EQ(calls[start].numbers, (std::vector<double>{12, 6, 0.6f}));
  const std::vector<std::vector<double>> moves{{0, 0, -0.5f, 0}, {0, 0, -0.3f, 0}, {0, 0, 0.5f, 0}, {0, 0, 0.3f, 0}};
  std::vector<double> descending{12};
  for (int i = 49; i >= 38; --i) descending.push_back(i);
  EXPECT_EQ(calls[start + 2 + 9].numbers, descending);
  for (int ring = 0; ring < 4; ++ring) EXPECT_EQ(calls[start + 3 + 3 * ring].numbers, moves[ring]) << ring;
  EXPECT_EQ(refhost::name(state.WindSourceObject), "Wind Source");
  EXPECT_TRUE(refhost::inScene(state.WindSourceObject));
}

TEST_P(SceneCommandsTest, ShowAndHideWindSource) {
  commands.btnhidewindClick();  // no wind source yet: only a redraw
  EXPECT_EQ(callNames(), (std::vector<std::string_view>{"tsxSceneDraw"}));
  commands.SpeedButton1Click();
  refhost::clearCalls();
  commands.btnhidewindClick();
  EXPECT_EQ(callNames(), (std::vector<std::string_view>{"tsxIsSobj", "tsxAnimSetActiveFrame",
                                                        "tsxMNodeSetInvisible", "tsxSobjSetFrame", "tsxSceneDraw"}));
  EXPECT_FALSE(refhost::visible(state.WindSourceObject));
  // One the host has deleted is not handed back to it.
  tsxSobjDelete(state.WindSourceObject);
  refhost::clearCalls();
  commands.btnshowwindClick();
  EXPECT_EQ(callNames(), (std::vector<std::string_view>{"tsxIsSobj", "tsxSceneDraw"}));
}

TEST_P(SceneCommandsTest, WaterCommandsWaitWhileARunIsGoing) {
  HostHandle water = poly("Water");
  refhost::select(poly("Other"));
  state.WaterObject = water;
  state.RunInProgress = true;
  commands.btnselectClick();
  commands.btnrefreshClick();
  EXPECT_EQ(state.WaterObject, water);
  EXPECT_EQ(effectors.count(), 0);
}

RILLMARK_UNDER_OPEN_ANSWERS(SceneCommandsTest);

}  // namespace
}  // namespace rillmark::testing
