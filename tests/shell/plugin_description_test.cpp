#include "shell/plugin_description.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

namespace rillmark {
namespace {

using Record = std::array<unsigned char, 104>;  // 4 bytes past the record, to see overruns

// The record as the host should find it: its own bytes (0xCC) everywhere
// except the characters and NUL of each text and the two codes.
Record expectedRecord(const std::string& name, const std::string& author) {
  Record r;
  r.fill(0xCC);
  const std::size_t n = std::min<std::size_t>(name.size(), 31);
  const std::size_t a = std::min<std::size_t>(author.size(), 63);
  std::copy_n(name.begin(), n, r.begin());
  r[n] = 0;
  std::copy_n(author.begin(), a, r.begin() + 32);
  r[32 + a] = 0;
  r[96] = 0x34;
  r[97] = 0x12;
  r[98] = 0xFE;
  r[99] = 0xFF;
  return r;
}

TEST(PluginDescription, WritesOnlyTheCharactersAndTheNulOfEachText) {
  const struct {
    std::string name, author;
  } cases[] = {
      {"Rillmark", "Rillmark developers"},
      {"", ""},
      {std::string(31, 'n'), std::string(63, 'a')},
      {std::string(45, 'n'), std::string(90, 'a')},
  };
  for (const auto& c : cases) {
    Record record;
    record.fill(0xCC);
    WritePluginDescription(record.data(), c.name, c.author, 0x1234, -2);
    EXPECT_EQ(record, expectedRecord(c.name, c.author)) << c.name.size() << "/" << c.author.size();
  }
}

}  // namespace
}  // namespace rillmark
