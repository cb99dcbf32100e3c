// The parameters as the bake program tells other programs about them: the
// description agrees with the options it parses and the presets it
// applies, and preset files saved from options read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "bake_support.h"

namespace bake::testing {
namespace {

using nlohmann::json;

json printed(const std::vector<std::string>& args) {
  std::vector<std::string> all = args;
  all.push_back("--print-parameters");
  const BakeRun run = runBake(all);
  EXPECT_EQ(run.status, 0) << run.err;
  return run.status == 0 ? json::parse(run.out) : json::object();
}

std::string text(const json& value) {
  char number[32];
  std::snprintf(number, sizeof number, "%.9g", value.get<double>());
  return value.is_number_integer() ? std::to_string(value.get<int>()) : number;
}

TEST(BakeParameters, TheDescriptionIsWhatTheOptionsAndPresetsDo) {
  const BakeRun described = runBake({"--describe-parameters"});
  ASSERT_EQ(described.status, 0) << described.err;
  const json doc = json::parse(described.out);
  ASSERT_EQ(doc["parameters"].size(), 18u);

  // Every option given its described default: the values are the defaults.
  std::vector<std::string> args;
  for (const json& p : doc["parameters"]) {
    if (p["kind"] == "flag") {
      args.push_back(p["default"].get<bool>() ? p["option"] : p["negative_option"]);
    } else {
      args.push_back(p["option"]);
      args.push_back(text(p["default"]));
    }
  }
  const json values = printed(args);
  for (const json& p : doc["parameters"]) EXPECT_EQ(values[p["name"].get<std::string>()], p["default"]) << p["name"];

  for (const json& preset : doc["presets"]) {
    const json applied = printed({"--preset", preset["name"]});
    for (const json& p : doc["parameters"]) {
      if (p.contains("presets")) {
        EXPECT_EQ(applied[p["name"].get<std::string>()], p["presets"][preset["name"].get<std::string>()])
            << preset["name"] << " " << p["name"];
      }
    }
  }
}

TEST(BakeParameters, APresetSavedFromOptionsReadsBack) {
  ScratchFolder folder;
  const BakeRun save = runBake({"--preset", "honey", "--octaves", "3", "--disturbance-type", "-1", "--time-scale",
                                "0.25", "--save-preset", folder / "p.rmp"});
  ASSERT_EQ(save.status, 0) << save.err;
  const json values = printed({"--preset", folder / "p.rmp"});
  EXPECT_EQ(values["speed"], static_cast<double>(0.3f));
  EXPECT_EQ(values["octaves"], 3);
  EXPECT_EQ(values["disturbance_type"], -1);
  EXPECT_EQ(values["time_scale"], 0.25);

  const BakeRun blocked = runBake({"--save-preset", folder / "missing/p.rmp"});
  EXPECT_EQ(blocked.status, 1);
  EXPECT_NE(blocked.err.find("Cannot create file"), std::string::npos) << blocked.err;
}

}  // namespace
}  // namespace bake::testing
