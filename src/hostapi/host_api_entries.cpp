#include "hostapi/host_api_entries.h"

#include <cstring>
#include <vector>

#include "hostapi/host_api.h"

namespace rillmark {

namespace {

struct FamilyBounds {
  int level;
  int count;
  const char* first;
  const char* last;
};

constexpr FamilyBounds kFamilies[] = {
#define RILLMARK_HOST_FAMILY(level, count, first, last) {level, count, #first, #last},
#include "hostapi/host_families.inc"
#undef RILLMARK_HOST_FAMILY
};

int slotOf(const char* name) {
  for (int i = 0; i < kHostFunctionCount; ++i) {
    if (std::strcmp(kHostFunctions[i].name, name) == 0) return i;
  }
  return -1;
}

struct Table {
  std::vector<HostApiEntry> entries;
  std::vector<HostApiFamily> families;
};

// first name, the called functions of the family in list order, reserved
// entries, last name.
Table buildTable() {
  Table table;
  for (const FamilyBounds& family : kFamilies) {
    const int begin = static_cast<int>(table.entries.size());
    table.families.push_back({family.level, family.count, begin});
    table.entries.push_back({family.level, family.first, slotOf(family.first)});
    for (int i = 0; i < kHostFunctionCount; ++i) {
      const HostFunctionInfo& f = kHostFunctions[i];
      if (f.family != family.level || std::strcmp(f.name, family.first) == 0 || std::strcmp(f.name, family.last) == 0)
        continue;
      table.entries.push_back({family.level, f.name, i});
    }
    while (static_cast<int>(table.entries.size()) - begin < family.count - 1)
      table.entries.push_back({family.level, nullptr, -1});
    table.entries.push_back({family.level, family.last, slotOf(family.last)});
  }
  return table;
}

const Table& table() {
  static const Table built = buildTable();
  return built;
}

}  // namespace

std::span<const HostApiEntry> hostApiEntries() { return table().entries; }

std::span<const HostApiFamily> hostApiFamilies() { return table().families; }

std::array<void*, kHostApiEntryCount>& hostApiAddresses() {
  static std::array<void*, kHostApiEntryCount> addresses{};
  return addresses;
}

}  // namespace rillmark
