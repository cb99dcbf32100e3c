// Every reference host test starts from a fresh scene.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "refhost/host_exports.h"
#include "refhost/refhost.h"

class RefhostTest : public ::testing::Test {
 protected:
  void SetUp() override { refhost::reset(); }
  void TearDown() override { refhost::reset(); }
};

inline void expectNear(const HostVec3& actual, const HostVec3& expected, float tolerance = 1e-5f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

inline HostVec3 locationOf(HostHandle node) {
  HostVec3 v{-1, -1, -1};
  tsxGNodeGetLocation(node, &v);
  return v;
}

inline HostVec3 sizeOf(HostHandle node) {
  HostVec3 v{-1, -1, -1};
  tsxGNodeGetSize(node, &v);
  return v;
}
