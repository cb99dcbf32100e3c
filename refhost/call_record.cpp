#include "refhost/call_record.h"

#include <algorithm>

#include "hostapi/host_api.h"
#include "refhost/call_note.h"

namespace refhost {

namespace {

constexpr int kFunctionCount = static_cast<int>(detail::FunctionId::Count);
static_assert(kFunctionCount == rillmark::kHostFunctionCount);

constexpr std::size_t kDefaultRecordLimit = 1'000'000;

struct Record {
  std::vector<Call> calls;
  std::size_t limit = kDefaultRecordLimit;
  std::size_t dropped = 0;
};

Record& record() {
  static Record r;
  return r;
}

}  // namespace

// Constant-initialised: ready before any static constructor runs, and read
// without a guard by the hot functions, once per call.
constinit detail::CallCounters detail::gCallCounters;

const std::vector<Call>& calls() { return record().calls; }

std::vector<Call> callsNamed(std::string_view name) {
  std::vector<Call> result;
  for (const Call& c : record().calls) {
    if (c.name == name) result.push_back(c);
  }
  return result;
}

void clearCalls() {
  Record& r = record();
  r.calls.clear();
  std::fill(std::begin(detail::gCallCounters.counts), std::end(detail::gCallCounters.counts), 0LL);
  r.dropped = 0;
}

void setRecording(bool on) { detail::gCallCounters.recording = on; }
bool recording() { return detail::gCallCounters.recording; }

long long callCount(std::string_view name) {
  for (int i = 0; i < kFunctionCount; ++i) {
    if (name == rillmark::kHostFunctions[i].name) return detail::gCallCounters.counts[i];
  }
  return 0;
}

void setRecordLimit(std::size_t limit) { record().limit = limit; }
std::size_t droppedCalls() { return record().dropped; }

namespace detail {

CallNote::CallNote(FunctionId id, HostHandle handle) {
  Record& r = record();
  const int index = static_cast<int>(id);
  ++gCallCounters.counts[index];
  active_ = gCallCounters.recording;
  if (active_ && r.calls.size() >= r.limit) {
    ++r.dropped;
    active_ = false;
  }
  if (active_) {
    call_.name = rillmark::kHostFunctions[index].name;
    call_.handle = handle;
  }
}

// A host function must never throw into its C caller, so a record that
// cannot grow any more only loses the entry.
CallNote::~CallNote() {
  if (!active_) return;
  try {
    record().calls.push_back(std::move(call_));
  } catch (...) {
    ++record().dropped;
  }
}

CallNote& CallNote::number(double value) {
  if (active_) call_.numbers.push_back(value);
  return *this;
}

CallNote& CallNote::vector(const HostVec3* v) {
  if (active_ && v) {
    call_.numbers.insert(call_.numbers.end(), {v->x, v->y, v->z});
  }
  return *this;
}

CallNote& CallNote::matrix(const HostMatrix3x4* m) {
  if (active_ && m) call_.numbers.insert(call_.numbers.end(), m->m, m->m + 12);
  return *this;
}

CallNote& CallNote::indices(const int* values, int count) {
  if (active_ && values) {
    for (int i = 0; i < count; ++i) call_.numbers.push_back(values[i]);
  }
  return *this;
}

CallNote& CallNote::text(const char* value, std::size_t length) {
  if (active_ && value) call_.text.assign(value, length);
  return *this;
}

void resetCallRecord() {
  clearCalls();
  gCallCounters.recording = true;
  record().limit = kDefaultRecordLimit;
}

}  // namespace detail

}  // namespace refhost
