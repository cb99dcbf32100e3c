#include <cmath>
#include <limits>
#include <string>

#include "refhost_fixture.h"

namespace {

using Faults = RefhostTest;

const HostVec3 kTriangle[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 1}};

TEST_F(Faults, EachFaultChangesItsAnswersUntilReset) {
  const HostHandle water = refhost::addPolyhedron("Water", kTriangle);
  const HostHandle ball = refhost::addPolyhedron("Ball", kTriangle);

  refhost::Faults f;
  f.boxValue = std::numeric_limits<float>::quiet_NaN();
  f.boxNode = ball;
  f.vertexCount = -4;
  f.nullVertexArrays = true;
  refhost::setFaults(f);
  EXPECT_TRUE(std::isnan(locationOf(ball).y));
  EXPECT_TRUE(std::isnan(sizeOf(ball).z));
  expectNear(locationOf(water), {0.5f, 0.5f, 0.5f});
  EXPECT_EQ(tsxPolyhGetNbrVxs(water), -4);
  EXPECT_EQ(tsxPolyhGetVxArray(water), nullptr);

  f.boxValue = std::numeric_limits<float>::infinity();
  f.boxNode = nullptr;
  refhost::setFaults(f);
  EXPECT_EQ(sizeOf(water).x, std::numeric_limits<float>::infinity()) << "every node";

  refhost::reset();
  const HostHandle fresh = refhost::addPolyhedron("Water", kTriangle);
  expectNear(sizeOf(fresh), {1, 1, 1});
  EXPECT_EQ(tsxPolyhGetNbrVxs(fresh), 3);
  EXPECT_NE(tsxPolyhGetVxArray(fresh), nullptr);
}

TEST_F(Faults, NamesCanComeWithAWrongLengthOrNoTerminator) {
  const HostHandle h = refhost::addObject(std::string(300, 'n'), 201);
  refhost::Faults f;
  f.nameLength = 1000;
  f.unterminatedNames = true;
  refhost::setFaults(f);
  std::string buffer(265, '#');
  EXPECT_EQ(tsxGNodeGetName(h, buffer.data(), 255), 1000);
  EXPECT_EQ(buffer, std::string(255, 'n') + std::string(10, '#')) << "the whole buffer, no terminator, no further";
}

TEST_F(Faults, AStaleSelectionOutlivesItsObject) {
  const HostHandle ball = refhost::addPolyhedron("Ball", kTriangle);
  refhost::Faults f;
  f.staleSelection = true;
  refhost::setFaults(f);
  refhost::select(ball);
  tsxSobjDelete(ball);
  EXPECT_EQ(tsxGetCurrentSelection(), ball);
  EXPECT_EQ(tsxIsSobj(ball), 0);
  refhost::select(nullptr);
  EXPECT_EQ(tsxGetCurrentSelection(), nullptr);
}

}  // namespace
