#include <cmath>
#include <numbers>
#include <vector>

#include "refhost_fixture.h"

namespace {

using Geometry = RefhostTest;

// Rotation by 90 degrees about z, scale 2, then a move to (5, -1, 3).
constexpr HostMatrix3x4 kTransform{{0, -2, 0, 5, 2, 0, 0, -1, 0, 0, 2, 3}};

TEST_F(Geometry, SphereOfTwelveBySixHasPolesThenFiveRingsFromTop) {
  const float r = 0.6f;
  const HostHandle s = tsxCreateSphere(12, 6, r);
  ASSERT_EQ(tsxIsSobj(s), 1);
  EXPECT_FALSE(refhost::inScene(s));
  EXPECT_EQ(tsxSobjGetType(s) & 0xFF, 201);
  EXPECT_EQ(refhost::name(s), "Sphere");
  ASSERT_EQ(tsxPolyhGetNbrVxs(s), 62);
  const HostVec3* v = tsxPolyhGetVxArray(s);
  expectNear(v[0], {0, 0, r});
  expectNear(v[1], {0, 0, -r});
  for (int ring = 0; ring < 5; ++ring) {
    const double polar = std::numbers::pi * (ring + 1) / 6;
    for (int j = 0; j < 12; ++j) {
      const HostVec3& p = v[2 + ring * 12 + j];
      EXPECT_NEAR(p.z, r * std::cos(polar), 1e-5) << "ring " << ring;
      EXPECT_NEAR(std::hypot(p.x, p.y), r * std::sin(polar), 1e-5);
      EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), r, 1e-5);
    }
    // Neighbours in a ring are 30 degrees apart.
    const HostVec3& a = v[2 + ring * 12];
    const HostVec3& b = v[3 + ring * 12];
    EXPECT_NEAR(std::atan2(a.x * b.y - a.y * b.x, a.x * b.x + a.y * b.y), std::numbers::pi / 6, 1e-4);
  }
  expectNear(locationOf(s), {0, 0, 0});
}

TEST_F(Geometry, SphereGuardsSillyArguments) {
  struct Case {
    int longitude, latitude;
    float radius;
  };
  for (const Case& c : {Case{0, 0, 1}, Case{-5, -5, 1}, Case{1 << 30, 1 << 30, 1}, Case{12, 6, NAN},
                        Case{12, 6, INFINITY}}) {
    const HostHandle s = tsxCreateSphere(c.longitude, c.latitude, c.radius);
    ASSERT_EQ(tsxIsSobj(s), 1);
    const int n = tsxPolyhGetNbrVxs(s);
    EXPECT_GE(n, 2);
    EXPECT_LE(n, 2 + 512 * 511);
    for (const HostVec3& p : refhost::vertices(s)) ASSERT_TRUE(std::isfinite(p.x + p.y + p.z));
  }
}

TEST_F(Geometry, GridIsCentredInTheXYPlane) {
  const HostHandle g = refhost::addGrid("Water", 5, 3, 4, 2, 0.25f);
  ASSERT_EQ(tsxPolyhGetNbrVxs(g), 15);
  const HostVec3* v = tsxPolyhGetVxArray(g);
  expectNear(v[0], {-2, -1, 0.25f});
  expectNear(v[4], {2, -1, 0.25f});
  expectNear(v[14], {2, 1, 0.25f});
  expectNear(locationOf(g), {0, 0, 0.25f});
  expectNear(sizeOf(g), {4, 2, 0});
}

TEST_F(Geometry, LocationAndSizeFollowTheVertexTransformation) {
  const HostHandle g = refhost::addGrid("Water", 5, 3, 4, 2, 0.5f);
  refhost::setVertexTransform(g, kTransform);
  // x' = 5 - 2y, y' = -1 + 2x, z' = 3 + 2z
  expectNear(locationOf(g), {5, -1, 4});
  expectNear(sizeOf(g), {4, 8, 0});
}

TEST_F(Geometry, BakingTheTransformationChangesNeitherLocationNorSize) {
  const HostHandle g = refhost::addGrid("Water", 5, 3, 4, 2, 0.5f);
  tsxPolyhSetVxTxmx(g, &kTransform);
  const HostVec3 before = locationOf(g), extent = sizeOf(g);

  HostMatrix3x4 m{};
  tsxPolyhGetVxTxmx(g, &m);
  HostVec3* v = tsxPolyhGetVxArray(g);
  for (int i = 0; i < tsxPolyhGetNbrVxs(g); ++i) tsxTransformVecs3f(1, &v[i], &v[i], &m);
  tsxPolyhSetVxTxmx(g, &kIdentityMatrix);

  expectNear(locationOf(g), before);
  expectNear(sizeOf(g), extent);
  expectNear(v[0], {5 - 2 * -1.0f, -1 + 2 * -2.0f, 4});
}

TEST_F(Geometry, TransformVecsHandlesOverlappingRanges) {
  const HostMatrix3x4 shift{{1, 0, 0, 10, 0, 1, 0, 0, 0, 0, 1, 0}};
  std::vector<HostVec3> v{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}};
  tsxTransformVecs3f(3, v.data() + 1, v.data(), &shift);
  EXPECT_EQ(v[1].x, 10);
  EXPECT_EQ(v[2].x, 11);
  EXPECT_EQ(v[3].x, 12);
  tsxTransformVecs3f(3, v.data(), v.data() + 1, &shift);
  EXPECT_EQ(v[0].x, 20);
  EXPECT_EQ(v[2].x, 22);
  tsxTransformVecs3f(-1, v.data(), v.data(), &shift);
  tsxTransformVecs3f(1, nullptr, v.data(), &shift);
  EXPECT_EQ(v[0].x, 20);
}

TEST_F(Geometry, ContainerReportsTheUnionOfItsMembers) {
  const HostHandle group = refhost::addGroup("G", 107);
  const HostVec3 left[] = {{-3, 0, 0}, {-1, 1, 0}};
  const HostVec3 right[] = {{2, -1, 1}, {4, 0, 2}};
  refhost::addPolyhedron("L", left, group);
  refhost::addPolyhedron("R", right, group);
  expectNear(locationOf(group), {0.5f, 0, 1});
  expectNear(sizeOf(group), {7, 2, 2});

  const HostHandle lamp = refhost::addObject("Lamp", 3);
  expectNear(sizeOf(lamp), {0, 0, 0});
  refhost::setLocation(lamp, {1, 2, 3});
  refhost::setSize(lamp, {2, 2, 2});
  expectNear(locationOf(lamp), {1, 2, 3});
  expectNear(sizeOf(lamp), {2, 2, 2});
}

TEST_F(Geometry, TranslateMovesOnlyTheSelectedVerticesOfTheLastSelectedPolyhedron) {
  const HostHandle s = tsxCreateSphere(12, 6, 0.4f);
  const HostHandle other = tsxCreateSphere(12, 6, 0.4f);
  const std::vector<HostVec3> before = refhost::vertices(s);
  const int ring[] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, -1, 62, 1000};
  tsxPolyhSelectVertices(s, 15, ring);
  EXPECT_EQ(refhost::selectedVertices(s).size(), 12u);
  const HostVec3 down{0, 0, -0.125f};
  tsxPointsTranslate(&down, 0);
  tsxPolyhDeselectAll(s);
  tsxPointsTranslate(&down, 0);  // nothing selected any more

  const std::vector<HostVec3> after = refhost::vertices(s);
  for (int i = 0; i < 62; ++i) {
    const float expected = before[i].z - ((i >= 2 && i <= 13) ? 0.125f : 0.0f);
    EXPECT_FLOAT_EQ(after[i].z, expected) << i;
  }
  EXPECT_FLOAT_EQ(refhost::vertices(other)[2].z, before[2].z);
}

TEST_F(Geometry, ChangeMarksAreCountedAndVertexMarksAreOneFlagEach) {
  const HostHandle g = refhost::addGrid("Water", 2, 2, 1, 1, 0);
  for (int i : {3, 0, 3, 3, -1, 4}) tsxPolyhMarkVertexChange(g, i);
  tsxPolyhMarkGeomChange(g);
  EXPECT_EQ(refhost::vertexChangeMarks(g), 6);
  EXPECT_EQ(refhost::geomChangeMarks(g), 1);
  EXPECT_EQ(refhost::markedVertices(g), (std::vector<int>{0, 3}));

  HostHandle copy = nullptr;
  tsxGNodeCopy(g, &copy);
  EXPECT_TRUE(refhost::markedVertices(copy).empty());
  refhost::clearVertexMarks(g);
  EXPECT_TRUE(refhost::markedVertices(g).empty());
  EXPECT_EQ(refhost::vertexChangeMarks(g), 6);
}

TEST_F(Geometry, VectorMath) {
  const HostVec3 p{1, 2, 3}, q{4, 6, 3};
  EXPECT_FLOAT_EQ(tsxDistanceToPoint3f(&p, &q), 5.0f);

  HostVec3 v{3, 0, 4}, unit{};
  EXPECT_FLOAT_EQ(tsxGetNormalized3f(&unit, &v), 5.0f);
  expectNear(unit, {0.6f, 0, 0.8f});
  EXPECT_FLOAT_EQ(tsxGetNormalized3f(&v, &v), 5.0f);  // in place
  expectNear(v, {0.6f, 0, 0.8f});

  const HostVec3 zero{0, 0, 0};
  unit = {9, 9, 9};
  EXPECT_EQ(tsxGetNormalized3f(&unit, &zero), 0.0f);
  expectNear(unit, {0, 0, 0});
  const HostVec3 huge{3e30f, 4e30f, 0};
  EXPECT_FLOAT_EQ(tsxGetNormalized3f(&unit, &huge), 5e30f);
  expectNear(unit, {0.6f, 0.8f, 0});

  HostVec3 s{1, -2, 0.5f};
  tsxMulScalar3f(&s, -2);
  expectNear(s, {-2, 4, -1});
}

}  // namespace
