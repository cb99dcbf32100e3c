#include <vector>

#include "hostapi/host_api.h"

#include "refhost_fixture.h"

namespace {

using CallRecord = RefhostTest;

TEST_F(CallRecord, RecordsNameHandleNumbersAndText) {
  const HostHandle s = tsxCreateSphere(12, 6, 0.4f);
  const int ring[] = {2, 3, 4};
  tsxPolyhSelectVertices(s, 3, ring);
  const HostVec3 offset{0, 0, -0.125f};
  tsxPointsTranslate(&offset, 0);
  tsxGNodeSetName(s, "Effector-0");
  tsxPolyhSetVxTxmx(s, &kIdentityMatrix);
  tsxAnimSetActiveTime(2.5f);

  const std::vector<refhost::Call>& record = refhost::calls();
  ASSERT_EQ(record.size(), 6u);
  EXPECT_EQ(record[0].name, "tsxCreateSphere");
  EXPECT_EQ(record[0].handle, nullptr);
  EXPECT_EQ(record[0].numbers, (std::vector<double>{12, 6, 0.4f}));
  EXPECT_EQ(record[1].name, "tsxPolyhSelectVertices");
  EXPECT_EQ(record[1].handle, s);
  EXPECT_EQ(record[1].numbers, (std::vector<double>{3, 2, 3, 4}));
  EXPECT_EQ(record[2].numbers, (std::vector<double>{0, 0, -0.125, 0}));
  EXPECT_EQ(record[3].text, "Effector-0");
  EXPECT_EQ(record[4].numbers.size(), 12u);
  EXPECT_EQ(record[5].numbers, (std::vector<double>{2.5}));
}

TEST_F(CallRecord, EveryHostFunctionLeavesAnEntry) {
  rillmark::HostApi api;
  refhost::bindInto(api);
  HostVec3 v{1, 2, 3};
  HostMatrix3x4 m = kIdentityMatrix;
  short a = 0, b = 0;
  HostHandle copy = nullptr;
  char name[16];
  const int indices[] = {0};
  const HostHandle h = refhost::addGrid("G", 2, 2, 1, 1, 0);
  api.tsxGetTsVersionNbrs(&a, &b);
  api.tsxGetMainViewHwnd();
  api.tsxSceneGetFirstNode();
  api.tsxGNodeGetFirstChild(h);
  api.tsxGNodeGetNext(h);
  api.tsxIsGNode(h);
  api.tsxSobjGetType(h);
  api.tsxGNodeGetName(h, name, 16);
  api.tsxGNodeSetName(h, "G");
  api.tsxGetCurrentSelection();
  api.tsxSelectSobj(h, 0, 0);
  api.tsxGNodeCopy(h, &copy);
  api.tsxSceneAddObject(copy, 0);
  api.tsxSobjDelete(copy);
  api.tsxCreateSphere(12, 6, 1);
  api.tsxMNodeSetVisible(h);
  api.tsxMNodeSetInvisible(h);
  api.tsxSceneDraw();
  api.tsxPolyhGetNbrVxs(h);
  api.tsxPolyhGetVxArray(h);
  api.tsxPolyhGetVxTxmx(h, &m);
  api.tsxPolyhSetVxTxmx(h, &m);
  api.tsxTransformVecs3f(1, &v, &v, &m);
  api.tsxPolyhMarkGeomChange(h);
  api.tsxAnimSetActiveFrame(h, 0);
  api.tsxGNodeSetFrame(h, 3);
  api.tsxGNodeDeleteScriptTree(h);
  api.tsxGNodeCreateScriptTree(h);
  api.tsxDistanceToPoint3f(&v, &v);
  api.tsxGetNormalized3f(&v, &v);
  api.tsxMulScalar3f(&v, 2);
  api.tsxIsSobj(h);
  api.tsxGNodeGetLocation(h, &v);
  api.tsxGNodeGetSize(h, &v);
  api.tsxPolyhMarkVertexChange(h, 0);
  api.tsxAnimSetPlayMode(0);
  api.tsxAnimSetActiveTime(0);
  api.tsxSobjSetFrame(h, 23);
  api.tsxSobjAddAttribute(h, 23);
  api.tsxPolyhSelectVertices(h, 1, indices);
  api.tsxPointsTranslate(&v, 0);
  api.tsxPolyhDeselectAll(h);
  api.tssNoise3(&v);
  api.tssNoise3Classic(&v);
  api.tssNoise3Perlin(&v);
  api.tssTurbulence3(&v, 2);
  api.tssTurbulence3Classic(&v, 2);
  api.tssTurbulence3Perlin(&v, 2);
  api.tssTurbulence3SparseConv(&v, 2);
  api.tsxGNodeSetDrawingMode(h, 4);

  ASSERT_EQ(refhost::calls().size(), 50u);
  for (int i = 0; i < rillmark::kHostFunctionCount; ++i) {
    const char* fn = rillmark::kHostFunctions[i].name;
    EXPECT_EQ(refhost::calls()[static_cast<std::size_t>(i)].name, fn);
    EXPECT_EQ(refhost::callCount(fn), 1) << fn;
  }
}

TEST_F(CallRecord, CountersKeepCountingWhileRecordingIsOff) {
  const HostHandle g = refhost::addGrid("Water", 10, 10, 1, 1, 0);
  refhost::setRecording(false);
  for (int i = 0; i < 100000; ++i) tsxPolyhMarkVertexChange(g, i % 100);
  EXPECT_TRUE(refhost::calls().empty());
  EXPECT_EQ(refhost::callCount("tsxPolyhMarkVertexChange"), 100000);
  EXPECT_EQ(refhost::vertexChangeMarks(g), 100000);

  refhost::setRecording(true);
  tsxSobjSetFrame(g, 23);
  EXPECT_EQ(refhost::callsNamed("tsxSobjSetFrame").size(), 1u);
  EXPECT_EQ(refhost::callsNamed("tsxPolyhMarkVertexChange").size(), 0u);
  EXPECT_EQ(refhost::callCount("noSuchFunction"), 0);

  refhost::clearCalls();
  EXPECT_TRUE(refhost::calls().empty());
  EXPECT_EQ(refhost::callCount("tsxPolyhMarkVertexChange"), 0);
}

TEST_F(CallRecord, TheRecordStopsAtItsLimitAndCountsWhatItDropped) {
  refhost::setRecordLimit(3);
  for (int i = 0; i < 5; ++i) tsxSceneDraw();
  EXPECT_EQ(refhost::calls().size(), 3u);
  EXPECT_EQ(refhost::droppedCalls(), 2u);
  EXPECT_EQ(refhost::callCount("tsxSceneDraw"), 5);
}

}  // namespace
