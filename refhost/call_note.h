// How a host function reports itself to the call record. Each function
// builds one CallNote on entry; when recording is off the note only bumps
// the counter, so the hot functions stay cheap.
#pragma once

#include "hostapi/host_types.h"
#include "refhost/call_record.h"

namespace refhost::detail {

enum class FunctionId : int {
#define RILLMARK_HOST_FUNCTION(family, Ret, name, params) name,
#include "hostapi/host_functions.inc"
#undef RILLMARK_HOST_FUNCTION
  Count
};

class CallNote {
 public:
  explicit CallNote(FunctionId id, HostHandle handle = nullptr);
  ~CallNote();
  CallNote(const CallNote&) = delete;
  CallNote& operator=(const CallNote&) = delete;

  CallNote& number(double value);
  CallNote& vector(const HostVec3* v);
  CallNote& matrix(const HostMatrix3x4* m);
  CallNote& indices(const int* values, int count);
  CallNote& text(const char* value, std::size_t length);

 private:
  bool active_;
  Call call_;
};

void resetCallRecord();

// What every call updates, kept apart from the record so that the hottest
// functions count themselves inline.
struct CallCounters {
  long long counts[static_cast<int>(FunctionId::Count)] = {};
  bool recording = true;
};
extern CallCounters gCallCounters;

// While recording is off, counts the call and returns true; otherwise does
// nothing and returns false (a CallNote then counts and records it). The
// cheap path of the hottest functions.
inline bool countIfUnrecorded(FunctionId id) {
  if (gCallCounters.recording) return false;
  ++gCallCounters.counts[static_cast<int>(id)];
  return true;
}

}  // namespace refhost::detail
