#include "refhost/export_table.h"

#include <set>
#include <string>

#include "hostapi/host_api.h"
#include "refhost/host_exports.h"
#include "refhost/uncalled_exports.h"

namespace refhost {

namespace {

struct Export {
  const char* name;
  void* address;
};

// Converting a function address to void* is what a loader hands out; GCC
// supports it on every target we build for.
const Export kExports[] = {
#define RILLMARK_HOST_FUNCTION(family, Ret, name, params) {#name, reinterpret_cast<void*>(&::name)},
#include "hostapi/host_functions.inc"
#undef RILLMARK_HOST_FUNCTION
#define RILLMARK_UNCALLED_HOST_NAME(name) {#name, reinterpret_cast<void*>(&::name)},
#include "hostapi/uncalled_host_names.inc"
#undef RILLMARK_UNCALLED_HOST_NAME
};

std::set<std::string, std::less<>>& hidden() {
  static std::set<std::string, std::less<>> names;
  return names;
}

bool isHidden(std::string_view name) { return hidden().find(name) != hidden().end(); }

}  // namespace

void* lookupExport(std::string_view name) {
  if (isHidden(name)) return nullptr;
  for (const Export& e : kExports) {
    if (name == e.name) return e.address;
  }
  return nullptr;
}

// Assigning each member from the function of its own name makes the
// compiler check every signature against the table's pointer type.
void bindInto(rillmark::HostApi& api) {
#define RILLMARK_HOST_FUNCTION(family, Ret, name, params) api.name = isHidden(#name) ? nullptr : &::name;
#include "hostapi/host_functions.inc"
#undef RILLMARK_HOST_FUNCTION
}

void hideExport(std::string_view name) { hidden().emplace(name); }

void unhideExport(std::string_view name) {
  const auto it = hidden().find(name);
  if (it != hidden().end()) hidden().erase(it);
}

void clearHiddenExports() { hidden().clear(); }

}  // namespace refhost
