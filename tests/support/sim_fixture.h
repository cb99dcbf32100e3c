// A simulation wired to a fresh reference host: the host table bound to the
// reference host's functions, a parameter set at its start values, and a
// view and platform that record what the run shows.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "commands/run_context.h"
#include "hostapi/host_api.h"
#include "params/parameter_set.h"
#include "refhost/host_exports.h"
#include "refhost/refhost.h"
#include "scene/effector_list.h"
#include "sim/simulation_state.h"
#include "support/recording_run_view.h"

namespace rillmark::testing {

class SimFixture : public ::testing::Test {
 protected:
  SimFixture() {
    refhost::reset();
    hostApi() = HostApi{};
    refhost::bindInto(hostApi());
    hostApiLevel() = 430;
  }
  ~SimFixture() override {
    hostApi() = HostApi{};
    refhost::reset();
  }

  // A water polyhedron with its rest copy, as Start leaves them.
  HostHandle makeWater(std::span<const HostVec3> vertices) {
    HostHandle water = refhost::addPolyhedron("Water", vertices);
    HostHandle rest = nullptr;
    tsxGNodeCopy(water, &rest);
    state.WaterObject = water;
    state.WaterRestCopy = rest;
    state.RestCopySource = water;
    return water;
  }

  // The water as Select Water leaves it: a grid and its snapshot.
  HostHandle chooseWater(int n = 9) {
    HostHandle water = refhost::addGrid("Water", n, n, 4, 4, 0);
    HostHandle snapshot = nullptr;
    tsxGNodeCopy(water, &snapshot);
    state.WaterObject = water;
    state.WaterSnapshot = snapshot;
    return water;
  }

  // A listed, checked sphere falling from z = 2 at frame `from` to z = -2
  // at frame `from` + 20: in the water at frames from + 9 to from + 11.
  HostHandle fallingSphere(const std::string& name, float x, float y, float from) {
    HostHandle sphere = tsxCreateSphere(12, 6, 0.3f);
    tsxSceneAddObject(sphere, 1);
    tsxGNodeSetName(sphere, name.c_str());
    refhost::addLocationKey(sphere, from, {x, y, 2});
    refhost::addLocationKey(sphere, from + 20, {x, y, -2});
    effectors.add(name);
    effectors.setChecked(effectors.count() - 1, true);
    return sphere;
  }

  std::vector<float> heights(HostHandle polyhedron) const {
    std::vector<float> z;
    for (const HostVec3& v : refhost::vertices(polyhedron)) z.push_back(v.z);
    return z;
  }

  SimulationState state;
  ParameterSet params;
  RecordingRunView view;
  FakePlatform platform;
  EffectorList effectors;
  RunContext ctx{state, params, view, platform, effectors};
};

}  // namespace rillmark::testing
