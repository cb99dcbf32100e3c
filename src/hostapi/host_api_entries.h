// The full host API as the binding walks it: 834 entries in six families.
// Only some names are known to Rillmark (the functions it calls and the
// first and last name of each family). Every other entry is reserved: it
// keeps its place in the count and the order, but has no name, is never
// looked up, stays null and is never called.
#pragma once

#include <array>
#include <span>

namespace rillmark {

struct HostApiEntry {
  int family;        // 300, 310, 320, 410, 420 or 430
  const char* name;  // null for a reserved entry
  int slot;          // index into kHostFunctions when Rillmark calls it, else -1
};

struct HostApiFamily {
  int level;
  int count;
  int firstEntry;  // index of its first entry in hostApiEntries()
};

inline constexpr int kHostApiEntryCount = 834;

std::span<const HostApiEntry> hostApiEntries();
std::span<const HostApiFamily> hostApiFamilies();

// Every entry's address as last bound, null until found. The typed table
// (hostApi()) mirrors the entries that Rillmark calls.
std::array<void*, kHostApiEntryCount>& hostApiAddresses();

}  // namespace rillmark
