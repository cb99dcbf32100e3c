#include <cstring>
#include <string>

#include "refhost_fixture.h"

namespace {

using Names = RefhostTest;

TEST_F(Names, GetNameCopiesWhatFitsAndReturnsTheFullLength) {
  struct Case {
    std::size_t length;
    int max;
  };
  for (const Case& c : {Case{5, 255}, Case{254, 255}, Case{255, 255}, Case{300, 255}, Case{3, 1}, Case{10, 4}}) {
    refhost::reset();
    const std::string name(c.length, 'n');
    const HostHandle h = refhost::addObject(name, 3);
    std::string buffer(static_cast<std::size_t>(c.max) + 8, '#');
    EXPECT_EQ(tsxGNodeGetName(h, buffer.data(), c.max), static_cast<int>(c.length));
    const std::size_t copied = std::min<std::size_t>(c.length, static_cast<std::size_t>(c.max) - 1);
    EXPECT_EQ(std::string(buffer.c_str()), name.substr(0, copied)) << c.length << "/" << c.max;
    // Nothing beyond max bytes was touched.
    EXPECT_EQ(buffer.substr(static_cast<std::size_t>(c.max)), std::string(8, '#'));
  }
}

TEST_F(Names, GetNameWithoutRoomWritesNothing) {
  const HostHandle h = refhost::addObject("Sphere", 201);
  char buffer[4] = "abc";
  EXPECT_EQ(tsxGNodeGetName(h, buffer, 0), 6);
  EXPECT_EQ(tsxGNodeGetName(h, nullptr, 255), 6);
  EXPECT_STREQ(buffer, "abc");
}

TEST_F(Names, SetNameCopiesTheText) {
  const HostHandle h = refhost::addObject("Sphere", 201);
  char text[] = "Effector-0";
  tsxGNodeSetName(h, text);
  std::strcpy(text, "changed");
  EXPECT_EQ(refhost::name(h), "Effector-0");
  tsxGNodeSetName(h, nullptr);
  EXPECT_EQ(refhost::name(h), "Effector-0");
  const std::string longName(400, 'L');
  tsxGNodeSetName(h, longName.c_str());
  char buffer[255];
  EXPECT_EQ(tsxGNodeGetName(h, buffer, 255), 400);
  EXPECT_EQ(std::strlen(buffer), 254u);
}

}  // namespace
