// The record of what the plug-in asked of the reference host, for tests: one
// Call per host function call, in call order, and a call counter per host
// function that keeps counting while recording is switched off.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "hostapi/host_types.h"

namespace refhost {

// numbers holds the numeric arguments in parameter order: ints and floats
// as they were passed, a vector argument as its x, y, z, a matrix as its 12
// values, an index list as its indices (after the count). Out-parameters
// are not recorded. tsxTransformVecs3f records the count, then the source
// vectors (at most kMaxRecordedVectors of them), then the matrix.
struct Call {
  std::string_view name;     // the host function's exported name
  HostHandle handle = nullptr;  // the object argument, or null
  std::vector<double> numbers;
  std::string text;          // the name given to tsxGNodeSetName
};

inline constexpr int kMaxRecordedVectors = 64;

const std::vector<Call>& calls();
std::vector<Call> callsNamed(std::string_view name);
// Empties the record and zeroes the counters.
void clearCalls();
// Recording is on after reset(); counters count either way.
void setRecording(bool on);
bool recording();
// Number of calls of the named host function since the last clear; 0 for an
// unknown name.
long long callCount(std::string_view name);
// The record stops growing at the limit (one million calls unless set);
// later calls are only counted, and droppedCalls() tells how many.
void setRecordLimit(std::size_t limit);
std::size_t droppedCalls();

}  // namespace refhost
