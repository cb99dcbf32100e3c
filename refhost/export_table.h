// The reference host's functions by exported name, as a loader finds them.
// Tests hide names to play a host library that lacks them.
#pragma once

#include <string_view>

namespace rillmark {
struct HostApi;
}

namespace refhost {

// The address of the host function of exactly that name, or null when the
// name is unknown or hidden.
void* lookupExport(std::string_view name);
// Fills every entry of the table with the reference host's function of its
// name; entries of hidden names are set to null.
void bindInto(rillmark::HostApi& api);

void hideExport(std::string_view name);
void unhideExport(std::string_view name);
void clearHiddenExports();

}  // namespace refhost
