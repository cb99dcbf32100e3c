#include "refhost/uncalled_exports.h"

#define RILLMARK_UNCALLED_HOST_NAME(name) \
  void name() {}
#include "hostapi/uncalled_host_names.inc"
#undef RILLMARK_UNCALLED_HOST_NAME
