#include <vector>

#include "refhost_fixture.h"

namespace {

using SceneGraph = RefhostTest;

std::vector<HostHandle> walk(HostHandle first) {
  std::vector<HostHandle> order;
  for (HostHandle h = first; tsxIsGNode(h) == 1; h = tsxGNodeGetNext(h)) order.push_back(h);
  return order;
}

TEST_F(SceneGraph, WalksSiblingListsAndMembersInOrder) {
  const HostHandle a = refhost::addGrid("A", 2, 2, 1, 1, 0);
  const HostHandle group = refhost::addGroup("G", 202);
  const HostHandle m1 = refhost::addGrid("M1", 2, 2, 1, 1, 0, group);
  const HostHandle m2 = refhost::addObject("M2", 5, group);
  const HostHandle light = refhost::addObject("Light", 3);

  EXPECT_EQ(walk(tsxSceneGetFirstNode()), (std::vector<HostHandle>{a, group, light}));
  EXPECT_EQ(walk(tsxGNodeGetFirstChild(group)), (std::vector<HostHandle>{m1, m2}));
  EXPECT_EQ(tsxGNodeGetFirstChild(a), nullptr);
  EXPECT_EQ(tsxSobjGetType(group), 202);
  EXPECT_EQ(tsxSobjGetType(light), 3);
  EXPECT_TRUE(refhost::inScene(m2));
}

TEST_F(SceneGraph, EmptySceneHasNoFirstNode) {
  EXPECT_EQ(tsxSceneGetFirstNode(), nullptr);
  EXPECT_EQ(tsxIsGNode(nullptr), 0);
}

TEST_F(SceneGraph, UnknownNullAndDeletedHandlesAreHarmless) {
  const HostHandle grid = refhost::addGrid("Water", 3, 3, 2, 2, 0);
  tsxSobjDelete(grid);
  int made_up = 0;
  for (HostHandle bad : {HostHandle{nullptr}, grid, HostHandle{&made_up}, reinterpret_cast<HostHandle>(1)}) {
    EXPECT_EQ(tsxIsGNode(bad), 0);
    EXPECT_EQ(tsxIsSobj(bad), 0);
    EXPECT_EQ(tsxSobjGetType(bad), 0);
    EXPECT_EQ(tsxGNodeGetNext(bad), nullptr);
    EXPECT_EQ(tsxGNodeGetFirstChild(bad), nullptr);
    EXPECT_EQ(tsxPolyhGetNbrVxs(bad), 0);
    EXPECT_EQ(tsxPolyhGetVxArray(bad), nullptr);
    char name[8] = "xxxxxxx";
    EXPECT_EQ(tsxGNodeGetName(bad, name, 8), 0);
    EXPECT_STREQ(name, "");
    HostHandle copy = &made_up;
    EXPECT_EQ(tsxGNodeCopy(bad, &copy), 0);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(tsxSceneAddObject(bad, 0), 0);
    expectNear(locationOf(bad), {0, 0, 0});
    expectNear(sizeOf(bad), {0, 0, 0});
    // None of these may touch anything.
    tsxGNodeSetName(bad, "X");
    tsxSobjDelete(bad);
    tsxSobjSetFrame(bad, 23);
    tsxPolyhSelectVertices(bad, 1, nullptr);
    tsxMNodeSetInvisible(bad);
    tsxGNodeDeleteScriptTree(bad);
  }
  EXPECT_EQ(made_up, 0);
  EXPECT_EQ(refhost::liveNodeCount(), 0);
}

TEST_F(SceneGraph, DeleteEndsTheObjectAndItsMembersAndUnlinksIt) {
  const HostHandle a = refhost::addObject("A", 3);
  const HostHandle group = refhost::addGroup("G");
  const HostHandle member = refhost::addGrid("M", 2, 2, 1, 1, 0, group);
  const HostHandle c = refhost::addObject("C", 3);
  tsxSelectSobj(group, 0, 0);

  tsxSobjDelete(group);

  EXPECT_EQ(tsxIsGNode(group), 0);
  EXPECT_EQ(tsxIsSobj(member), 0);
  EXPECT_EQ(tsxGNodeGetNext(a), c);
  EXPECT_EQ(walk(tsxSceneGetFirstNode()), (std::vector<HostHandle>{a, c}));
  EXPECT_EQ(tsxGetCurrentSelection(), nullptr);
}

TEST_F(SceneGraph, HandlesAreNeverReused) {
  const HostHandle first = refhost::addObject("A", 3);
  tsxSobjDelete(first);
  refhost::reset();
  for (int i = 0; i < 100; ++i) EXPECT_NE(refhost::addObject("B", 3), first);
  EXPECT_EQ(tsxIsGNode(first), 0);
}

TEST_F(SceneGraph, CopyLivesOutsideTheSceneUntilAddedAtTheEnd) {
  const HostHandle water = refhost::addGrid("Water", 3, 3, 2, 2, 0.5f);
  const HostHandle other = refhost::addObject("Other", 3);
  refhost::setVertexTransform(water, {{1, 0, 0, 4, 0, 1, 0, 0, 0, 0, 1, 0}});

  HostHandle copy = nullptr;
  ASSERT_NE(tsxGNodeCopy(water, &copy), 0);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, water);
  EXPECT_EQ(tsxIsGNode(copy), 1);
  EXPECT_EQ(tsxIsSobj(copy), 1);
  EXPECT_FALSE(refhost::inScene(copy));
  EXPECT_EQ(tsxGNodeGetNext(copy), nullptr);
  EXPECT_EQ(walk(tsxSceneGetFirstNode()), (std::vector<HostHandle>{water, other}));
  EXPECT_EQ(refhost::name(copy), "Water");
  EXPECT_EQ(refhost::vertices(copy).size(), 9u);
  EXPECT_EQ(refhost::vertexTransform(copy).m[3], 4.0f);

  // The copy has its own vertices.
  tsxPolyhGetVxArray(copy)[0].z = 7.0f;
  EXPECT_EQ(tsxPolyhGetVxArray(water)[0].z, 0.5f);

  EXPECT_NE(tsxSceneAddObject(copy, 0), 0);
  EXPECT_EQ(walk(tsxSceneGetFirstNode()), (std::vector<HostHandle>{water, other, copy}));
  EXPECT_EQ(refhost::addMode(copy), 0);
  // Adding twice does not put it in the list twice.
  EXPECT_EQ(tsxSceneAddObject(copy, 1), 0);
  EXPECT_EQ(walk(tsxSceneGetFirstNode()).size(), 3u);
}

TEST_F(SceneGraph, CopyAnswersCanDisagreeWithTheHandle) {
  const HostHandle water = refhost::addGrid("Water", 2, 2, 1, 1, 0);
  HostHandle copy = nullptr;
  refhost::setCopyAnswer(refhost::CopyAnswer::ZeroWithCopy);
  EXPECT_EQ(tsxGNodeCopy(water, &copy), 0);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(refhost::vertices(copy).size(), 4u);

  const int nodes = refhost::liveNodeCount();
  refhost::setCopyAnswer(refhost::CopyAnswer::NonzeroWithoutCopy);
  EXPECT_EQ(tsxGNodeCopy(water, &copy), 1);
  EXPECT_EQ(copy, nullptr);
  EXPECT_EQ(refhost::liveNodeCount(), nodes);

  refhost::reset();
  const HostHandle again = refhost::addGrid("Water", 2, 2, 1, 1, 0);
  EXPECT_EQ(tsxGNodeCopy(again, &copy), 1);
  EXPECT_NE(copy, nullptr);
}

TEST_F(SceneGraph, CopyOfAContainerCopiesItsMembersDeeply) {
  const HostHandle group = refhost::addGroup("G", 206);
  const HostHandle member = refhost::addGrid("M", 2, 2, 1, 1, 0, group);
  HostHandle copy = nullptr;
  ASSERT_NE(tsxGNodeCopy(group, &copy), 0);
  const HostHandle memberCopy = tsxGNodeGetFirstChild(copy);
  ASSERT_NE(memberCopy, nullptr);
  EXPECT_NE(memberCopy, member);
  EXPECT_EQ(refhost::name(memberCopy), "M");
  EXPECT_EQ(tsxSobjGetType(copy), 206);
  tsxSobjDelete(group);
  EXPECT_EQ(tsxIsGNode(memberCopy), 1);
}

TEST_F(SceneGraph, CopyTakesTheAnimationWithIt) {
  const HostHandle water = refhost::addGrid("Water", 2, 2, 1, 1, 0);
  tsxSobjAddAttribute(water, 23);
  tsxSobjSetFrame(water, 23);
  refhost::addLocationKey(water, 0, {1, 2, 3});
  HostHandle copy = nullptr;
  tsxGNodeCopy(water, &copy);
  EXPECT_EQ(refhost::vertexKeys(copy).size(), 1u);
  EXPECT_EQ(refhost::attributes(copy).count(23), 1u);
  expectNear(locationOf(copy), {1, 2, 3});
}

TEST_F(SceneGraph, SelectionAndMainView) {
  const HostHandle a = refhost::addObject("A", 3);
  const HostHandle b = refhost::addObject("B", 3);
  EXPECT_EQ(tsxGetCurrentSelection(), nullptr);
  refhost::select(a);
  EXPECT_EQ(tsxGetCurrentSelection(), a);
  tsxSelectSobj(b, 0, 0);
  EXPECT_EQ(tsxGetCurrentSelection(), b);
  tsxSelectSobj(nullptr, 0, 0);
  EXPECT_EQ(tsxGetCurrentSelection(), b);

  EXPECT_EQ(tsxGetMainViewHwnd(), nullptr);
  int view = 0;
  refhost::setMainView(&view);
  EXPECT_EQ(tsxGetMainViewHwnd(), &view);
}

TEST_F(SceneGraph, VersionNumbersFollowTheControl) {
  short major = 0, minor = 7;
  tsxGetTsVersionNbrs(&major, &minor);
  EXPECT_EQ(major, 430);
  EXPECT_EQ(minor, 0);
  refhost::setVersion(320, 5);
  tsxGetTsVersionNbrs(&major, &minor);
  EXPECT_EQ(major, 320);
  EXPECT_EQ(minor, 5);
  tsxGetTsVersionNbrs(nullptr, nullptr);
}

TEST_F(SceneGraph, VisibilityAndDrawingModeAreStored) {
  const HostHandle s = tsxCreateSphere(12, 6, 0.4f);
  EXPECT_TRUE(refhost::visible(s));
  tsxMNodeSetInvisible(s);
  EXPECT_FALSE(refhost::visible(s));
  tsxMNodeSetVisible(s);
  EXPECT_TRUE(refhost::visible(s));
  tsxGNodeSetDrawingMode(s, 4);
  EXPECT_EQ(refhost::drawingMode(s), 4);
  tsxSceneDraw();
  tsxSceneDraw();
  EXPECT_EQ(refhost::drawCount(), 2);
}

// The answers the host's contract leaves open vary only under their switch.
TEST_F(SceneGraph, OpenAnswersChangeOnlyWhenAsked) {
  const HostHandle water = refhost::addGrid("Water", 2, 2, 1, 1, 0);
  HostHandle copy = nullptr;
  tsxGNodeCopy(water, &copy);
  const HostVec3* before = tsxPolyhGetVxArray(water);
  tsxSobjSetFrame(water, 23);
  EXPECT_EQ(tsxPolyhGetVxArray(water), before);
  EXPECT_EQ(tsxIsSobj(copy), 1);

  refhost::setOpenAnswers({.sobjOnlyInScene = true, .vertexArraysMoveOnKey = true});
  EXPECT_EQ(tsxIsSobj(copy), 0) << "outside the scene";
  EXPECT_EQ(tsxIsSobj(water), 1);
  EXPECT_EQ(tsxIsGNode(copy), 1) << "still a node";
  tsxSceneAddObject(copy, 0);
  EXPECT_EQ(tsxIsSobj(copy), 1);
  const std::vector<HostVec3> shape = refhost::vertices(water);
  tsxSobjSetFrame(water, 23);
  EXPECT_NE(tsxPolyhGetVxArray(water), before);
  EXPECT_EQ(refhost::vertices(water).size(), shape.size());

  refhost::reset();
  EXPECT_FALSE(refhost::openAnswers().sobjOnlyInScene || refhost::openAnswers().vertexArraysMoveOnKey);
}

}  // namespace
