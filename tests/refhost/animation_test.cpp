#include <vector>

#include "refhost/scene_graph.h"
#include "refhost_fixture.h"

namespace {

using Animation = RefhostTest;

TEST_F(Animation, LocationKeysInterpolateLinearlyAndHoldOutside) {
  const HostHandle ball = tsxCreateSphere(12, 6, 0.4f);
  tsxSceneAddObject(ball, 1);
  refhost::addLocationKey(ball, 10, {0, 0, 2});
  refhost::addLocationKey(ball, 20, {4, 0, -2});
  struct Case {
    float time;
    HostVec3 expected;
  };
  for (const Case& c : {Case{0, {0, 0, 2}}, Case{10, {0, 0, 2}}, Case{15, {2, 0, 0}}, Case{17.5f, {3, 0, -1}},
                        Case{20, {4, 0, -2}}, Case{99, {4, 0, -2}}}) {
    tsxAnimSetActiveTime(c.time);
    expectNear(locationOf(ball), c.expected);
    // The keys move the object, not its extent.
    expectNear(sizeOf(ball), {0.8f, 0.8f, 0.8f});
  }
}

TEST_F(Animation, TimeAndPlayModeAreStored) {
  tsxAnimSetPlayMode(2);
  tsxAnimSetActiveTime(12.5f);
  EXPECT_EQ(refhost::playMode(), 2);
  EXPECT_EQ(refhost::currentTime(), 12.5f);
  tsxAnimSetActiveTime(NAN);
  EXPECT_EQ(refhost::currentTime(), 12.5f);
}

TEST_F(Animation, VertexKeysAreStoredOnlyAfterTheAttributeIsAdded) {
  const HostHandle water = refhost::addGrid("Water", 3, 2, 2, 1, 0);
  HostVec3* v = tsxPolyhGetVxArray(water);

  tsxAnimSetActiveTime(1);
  tsxSobjSetFrame(water, 23);
  EXPECT_TRUE(refhost::vertexKeys(water).empty());
  EXPECT_EQ(refhost::callCount("tsxSobjSetFrame"), 1);

  tsxSobjAddAttribute(water, 23);
  for (int frame : {2, 3, 4}) {
    tsxAnimSetActiveTime(static_cast<float>(frame) + 0.2f);  // keyed at the rounded time
    v[0].z = frame * 0.5f;
    tsxSobjSetFrame(water, 23);
  }
  const auto keys = refhost::vertexKeys(water);
  ASSERT_EQ(keys.size(), 3u);
  for (int frame : {2, 3, 4}) {
    ASSERT_EQ(keys.count(frame), 1u) << frame;
    ASSERT_EQ(keys.at(frame).size(), 6u);
    EXPECT_EQ(keys.at(frame)[0].z, frame * 0.5f);
    EXPECT_EQ(keys.at(frame)[1].z, 0.0f);
  }
}

TEST_F(Animation, KeyingTheSameFrameAgainReplacesTheKey) {
  const HostHandle water = refhost::addGrid("Water", 2, 2, 1, 1, 0);
  tsxSobjAddAttribute(water, 23);
  tsxAnimSetActiveTime(5);
  tsxSobjSetFrame(water, 23);
  tsxPolyhGetVxArray(water)[3].z = 1;
  tsxSobjSetFrame(water, 23);
  ASSERT_EQ(refhost::vertexKeys(water).size(), 1u);
  EXPECT_EQ(refhost::vertexKeys(water).at(5)[3].z, 1.0f);
}

TEST_F(Animation, VisibilityKeysStoreTheStateAtTheFrame) {
  const HostHandle e = tsxCreateSphere(12, 6, 0.4f);
  tsxAnimSetActiveTime(0);
  tsxAnimSetActiveFrame(e, 0);
  tsxMNodeSetInvisible(e);
  tsxSobjSetFrame(e, 24);
  tsxAnimSetActiveTime(8);
  tsxMNodeSetVisible(e);
  tsxSobjSetFrame(e, 24);
  EXPECT_EQ(refhost::visibilityKeys(e), (std::map<int, bool>{{0, false}, {8, true}}));
}

TEST_F(Animation, DeletingTheScriptTreeDropsKeysAndAttributes) {
  const HostHandle water = refhost::addGrid("Water", 2, 2, 1, 1, 0);
  refhost::addLocationKey(water, 0, {0, 0, 5});
  tsxSobjAddAttribute(water, 23);
  tsxSobjSetFrame(water, 23);
  tsxSobjSetFrame(water, 24);

  tsxGNodeDeleteScriptTree(water);
  EXPECT_FALSE(refhost::hasScriptTree(water));
  EXPECT_TRUE(refhost::vertexKeys(water).empty());
  EXPECT_TRUE(refhost::visibilityKeys(water).empty());
  EXPECT_TRUE(refhost::attributes(water).empty());
  expectNear(locationOf(water), {0, 0, 0});

  // Without a tree nothing can be keyed; a fresh tree starts empty.
  tsxSobjAddAttribute(water, 23);
  tsxSobjSetFrame(water, 23);
  EXPECT_TRUE(refhost::vertexKeys(water).empty());
  tsxGNodeCreateScriptTree(water);
  EXPECT_TRUE(refhost::hasScriptTree(water));
  EXPECT_TRUE(refhost::attributes(water).empty());
  tsxSobjAddAttribute(water, 23);
  tsxSobjSetFrame(water, 23);
  EXPECT_EQ(refhost::vertexKeys(water).size(), 1u);
}

// With reuse on, the last keys dropped lend their buffers to later keys, of
// the same or of a smaller polyhedron; a key made in a reused buffer holds
// exactly its own vertices. Off (the default) nothing is kept.
TEST_F(Animation, KeysInReusedBuffersHoldOnlyTheirOwnVertices) {
  const auto& spares = refhost::detail::scene().spareKeyBuffers;
  const HostHandle water = refhost::addGrid("Water", 3, 2, 2, 1, 0);
  const auto keyFrames = [](HostHandle object, float z) {
    tsxSobjAddAttribute(object, 23);
    for (int frame : {1, 2}) {
      tsxAnimSetActiveTime(static_cast<float>(frame));
      tsxPolyhGetVxArray(object)[0].z = z + frame;
      tsxSobjSetFrame(object, 23);
    }
  };
  keyFrames(water, 10);
  tsxGNodeCreateScriptTree(water);
  EXPECT_EQ(spares.count(), 0u);
  refhost::reuseKeyBuffers(true);
  keyFrames(water, 10);
  tsxGNodeDeleteScriptTree(water);
  tsxGNodeCreateScriptTree(water);
  EXPECT_EQ(spares.count(), 2u);
  keyFrames(water, 20);
  EXPECT_EQ(spares.count(), 0u);
  for (int frame : {1, 2}) EXPECT_EQ(refhost::vertexKeys(water).at(frame)[0].z, 20.0f + frame);

  tsxSobjDelete(water);  // a deleted node's keys are spares too
  EXPECT_EQ(spares.count(), 2u);
  const HostHandle pool = refhost::addGrid("Pool", 2, 2, 1, 1, 0);
  keyFrames(pool, 30);
  EXPECT_EQ(spares.count(), 0u);
  for (int frame : {1, 2}) {
    ASSERT_EQ(refhost::vertexKeys(pool).at(frame).size(), 4u);
    EXPECT_EQ(refhost::vertexKeys(pool).at(frame)[0].z, 30.0f + frame);
  }
  // A spare over twice the size of the keys is left for a larger polyhedron.
  tsxSobjDelete(pool);
  const HostHandle dot = refhost::addGrid("Dot", 1, 1, 1, 1, 0);
  keyFrames(dot, 40);
  EXPECT_EQ(spares.count(), 2u);
  EXPECT_EQ(refhost::vertexKeys(dot).at(2)[0].z, 42.0f);

  // A copy's keys are its source's, in spare buffers where there are any.
  const HostHandle twin = refhost::addGrid("Twin", 3, 2, 2, 1, 0);
  keyFrames(twin, 50);
  HostHandle copy = nullptr;
  tsxGNodeCopy(twin, &copy);
  ASSERT_NE(copy, nullptr);
  tsxSobjDelete(copy);
  EXPECT_EQ(spares.count(), 2u);
  tsxGNodeCopy(twin, &copy);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(spares.count(), 0u);
  const auto copied = refhost::vertexKeys(copy);
  ASSERT_EQ(copied.size(), 2u);
  for (const auto& [frame, vertices] : refhost::vertexKeys(twin)) {
    ASSERT_EQ(copied.at(frame).size(), vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) expectNear(copied.at(frame)[i], vertices[i], 0);
  }
  // Only the last keys dropped wait: the spares never outgrow one tree.
  tsxSobjDelete(twin);
  tsxSobjDelete(copy);
  EXPECT_EQ(spares.count(), 2u);
  refhost::reuseKeyBuffers(false);
  EXPECT_EQ(spares.count(), 0u);
}

TEST_F(Animation, NodeFrameCodesAreKeptInOrder) {
  const HostHandle water = refhost::addGrid("Water", 2, 2, 1, 1, 0);
  for (int code : {3, 2, 4}) tsxGNodeSetFrame(water, code);
  EXPECT_EQ(refhost::frameCodes(water), (std::vector<int>{3, 2, 4}));
}

}  // namespace
