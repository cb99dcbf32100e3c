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
// While recording is off, counts the call and returns true; otherwise does
// nothing and returns false (a CallNote then counts and records it). The
// cheap path of the hottest functions.
bool countIfUnrecorded(FunctionId id);

}  // namespace refhost::detail
