#include "scene/scene_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "support/sim_fixture.h"

namespace rillmark::testing {
namespace {

class SceneHelpers : public SimFixture {
 protected:
  HostHandle poly(const std::string& name, HostHandle parent = nullptr) {
    const std::vector<HostVec3> v{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    return refhost::addPolyhedron(name, v, parent);
  }
  std::vector<std::string> listed() {
    EffectorList list;
    ListPolyhedra(tsxSceneGetFirstNode(), list);
    std::vector<std::string> names;
    for (const auto& item : list.items()) names.push_back(item.text);
    return names;
  }
};

TEST_F(SceneHelpers, AnEmptySceneListsFindsAndRenamesNothing) {
  EXPECT_TRUE(listed().empty());
  MakeNamesUnique();
  EXPECT_EQ(refhost::callCount("tsxGNodeSetName"), 0);
  EXPECT_EQ(FindObjectByName("Sphere"), nullptr);
  EXPECT_EQ(ObjectName(nullptr), "Unsupported Object");
}

TEST_F(SceneHelpers, MembersComeBeforeTheirContainerAndOnlyPolyhedraAreListed) {
  poly("First");
  HostHandle group = refhost::addGroup("Group", 202);
  poly("Inner", group);
  HostHandle nested = refhost::addGroup("Nested", 0x100 | 107, group);  // only the low byte counts
  poly("Deep", nested);
  refhost::addObject("Light", 5);
  refhost::addPolyhedron("HighBits", std::vector<HostVec3>{{0, 0, 0}}, nullptr, 0x300 | 201);
  poly("Last");
  EXPECT_EQ(listed(), (std::vector<std::string>{"First", "Inner", "Deep", "HighBits", "Last"}));

  // Members of an object that is not a container are never visited.
  HostHandle notAContainer = refhost::addObject("Box", 5);
  poly("Hidden", notAContainer);
  EXPECT_EQ(listed().size(), 5u);
}

TEST_F(SceneHelpers, RepeatedNamesAreNumberedByWalkPositionAndLevel) {
  HostHandle a = poly("Sphere"), b = poly("Sphere"), c = poly("Sphere");
  MakeNamesUnique();
  EXPECT_EQ(refhost::name(a), "Sphere");
  EXPECT_EQ(refhost::name(b), "Sphere,1");
  EXPECT_EQ(refhost::name(c), "Sphere,1,2");

  refhost::clearCalls();
  MakeNamesUnique();
  EXPECT_EQ(refhost::callCount("tsxGNodeSetName"), 0);
}

TEST_F(SceneHelpers, AMemberNameRepeatedAtTheTopTakesTheLevelOfTheWalk) {
  HostHandle group = refhost::addGroup("Group", 202);
  HostHandle member = poly("A", group);
  HostHandle top = poly("A");
  HostHandle other = poly("a");  // names are case-sensitive
  MakeNamesUnique();
  EXPECT_EQ(refhost::name(member), "A");
  EXPECT_EQ(refhost::name(top), "A,2");
  EXPECT_EQ(refhost::name(other), "a");
}

TEST_F(SceneHelpers, FindObjectByNameIsExactAndTheLastMatchWins) {
  HostHandle group = refhost::addGroup("Group", 210);
  HostHandle inner = poly("X", group);
  HostHandle top = poly("X");
  poly("sphere");
  EXPECT_EQ(FindObjectByName("X"), top);
  EXPECT_EQ(FindObjectByName("Sphere"), nullptr);
  EXPECT_EQ(FindObjectByName("Group"), group);  // any kind is found

  tsxSobjDelete(top);
  EXPECT_EQ(FindObjectByName("X"), inner);
}

TEST_F(SceneHelpers, LongNamesAreCutInsideTheBuffer) {
  HostHandle node = poly("short");
  refhost::setName(node, std::string(300, 'n'));
  EXPECT_EQ(ObjectName(node), std::string(254, 'n'));
  refhost::setName(node, std::string(254, 'm'));
  EXPECT_EQ(ObjectName(node), std::string(254, 'm'));
}

TEST_F(SceneHelpers, BakingFoldsTheTransformIntoTheVertices) {
  const std::vector<HostVec3> v{{0, 0, 0}, {1, 0, 0}, {0, 2, 1}};
  HostHandle object = refhost::addPolyhedron("Water", v);
  // Scale x by 2, then move by (5, -1, 3).
  const HostMatrix3x4 m{{2, 0, 0, 5, 0, 1, 0, -1, 0, 0, 1, 3}};
  refhost::setVertexTransform(object, m);
  const HostVec3 before = refhost::location(object);

  refhost::clearCalls();
  BakeVertexTransform(object);
  const std::vector<HostVec3> baked = refhost::vertices(object);
  EXPECT_EQ(baked[1].x, 7);
  EXPECT_EQ(baked[1].y, -1);
  EXPECT_EQ(baked[2].z, 4);
  const HostMatrix3x4 identity = refhost::vertexTransform(object);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(identity.m[i], kIdentityMatrix.m[i]);
  const HostVec3 after = refhost::location(object);
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.z, before.z);
  EXPECT_EQ(refhost::frameCodes(object), (std::vector<int>{3, 2, 4}));
  EXPECT_EQ(refhost::callCount("tsxTransformVecs3f"), 3);
  EXPECT_EQ(refhost::callCount("tsxPolyhMarkGeomChange"), 1);

  refhost::clearCalls();
  BakeVertexTransform(object);
  EXPECT_EQ(refhost::vertices(object)[1].x, 7);
}

TEST_F(SceneHelpers, CopiesAreJudgedByTheHandleAlone) {
  const HostMatrix3x4 shift{{1, 0, 0, 5, 0, 1, 0, 0, 0, 0, 1, 0}};
  {
    SCOPED_TRACE("zero with a copy");
    HostHandle object = poly("A");
    refhost::setVertexTransform(object, shift);
    refhost::setCopyAnswer(refhost::CopyAnswer::ZeroWithCopy);
    EXPECT_NE(copyObject(object), nullptr);
    BakeVertexTransform(object);
    EXPECT_EQ(refhost::vertices(object)[1].x, 6);
  }
  {
    SCOPED_TRACE("nonzero without a copy");
    HostHandle object = poly("B");
    refhost::setVertexTransform(object, shift);
    refhost::setCopyAnswer(refhost::CopyAnswer::NonzeroWithoutCopy);
    EXPECT_EQ(copyObject(object), nullptr);
    EXPECT_THROW(BakeVertexTransform(object), Error);
    EXPECT_EQ(refhost::vertices(object)[1].x, 1);
    EXPECT_EQ(refhost::vertexTransform(object).m[3], 5);
  }
}

}  // namespace
}  // namespace rillmark::testing
