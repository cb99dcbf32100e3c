// The answers the host's contract leaves open, as test parameters: every
// run, erase and setup test that makes or uses copies of the water runs
// under the reference host's generous answers and under each stricter one,
// so the plug-in is shown to rely only on what a host promises.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "refhost/refhost.h"

namespace rillmark::testing {

struct OpenAnswerCase {
  const char* name;
  refhost::OpenAnswers answers;
};

// Generous: tsxIsSobj answers 1 for any live node, arrays stay put.
// SobjOnlyInScene: tsxIsSobj answers 0 for a node outside the scene.
// ArraysMoveOnKey: each vertex key moves the keyed object's vertex array.
inline const OpenAnswerCase kOpenAnswerCases[] = {
    {"Generous", {}},
    {"SobjOnlyInScene", {.sobjOnlyInScene = true}},
    {"ArraysMoveOnKey", {.vertexArraysMoveOnKey = true}},
};

inline std::string openAnswerName(const ::testing::TestParamInfo<OpenAnswerCase>& info) {
  return info.param.name;
}

// A fixture part: applies the parameter's answers after the fixture's
// reset of the reference host.
template <typename Fixture>
class UnderOpenAnswers : public Fixture, public ::testing::WithParamInterface<OpenAnswerCase> {
 protected:
  void SetUp() override {
    Fixture::SetUp();
    refhost::setOpenAnswers(GetParam().answers);
  }
};

}  // namespace rillmark::testing

#define RILLMARK_UNDER_OPEN_ANSWERS(suite) \
  INSTANTIATE_TEST_SUITE_P(OpenAnswers, suite, ::testing::ValuesIn(::rillmark::testing::kOpenAnswerCases), \
                           ::rillmark::testing::openAnswerName)
