// The soak's margins: how much of what the process holds may differ from
// the baseline to the end. Plain data and arithmetic, apart from the
// counting (soak_resources.*), so that the margins themselves are tested.
#pragma once

#include <string>

#include "process_resources.h"

namespace rillmark::testhost::soak {

// Both measurements see the same scene, the same panel and no dialog, so
// what may differ is the heaps' fragmentation and the few small things the
// soak itself keeps per action (the names of the files it wrote).
inline constexpr long long kHeapMargin = 1024 * 1024;
inline constexpr long long kCommittedMargin = 2 * 1024 * 1024;
inline constexpr long long kHandleMargin = 4;
inline constexpr long long kThreadMargin = 2;
inline constexpr unsigned kBaselineLatestMs = 60000;

struct Measurement {
  Resources process;
  long long pluginGdiObjects = 0;
  long long sceneNodes = 0;  // nodes alive in the reference host
  long long fileNamesGiven = 0;  // file dialogs so far that returned a name
};

// When the baseline is taken, in ms from the start: after a minute, or
// after a third of a shorter soak, so that every soak checks.
unsigned baselineAfterMs(int seconds);

// What grew past its margin, every item joined by "; "; empty when none did.
std::string resourceProblems(const Measurement& baseline, const Measurement& end);

}  // namespace rillmark::testhost::soak
