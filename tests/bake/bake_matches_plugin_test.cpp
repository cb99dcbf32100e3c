// The bake program's samples are the heights a run of the plug-in keys for
// the same scene in the reference host, to the bit: the example scene, and
// an OBJ sequence made here.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bake_support.h"
#include "cache_readers.h"
#include "commands/run_commands.h"
#include "commands/scene_commands.h"
#include "hostapi/host_api.h"
#include "platform/headless/headless_platform.h"
#include "refhost/host_exports.h"
#include "refhost/refhost.h"
#include "support/recording_run_view.h"

namespace bake::testing {
namespace {

using namespace rillmark;

// A run of the plug-in as a user makes it: Select Water with the water
// selected, check marks, the wind command, Start.
class PluginRun {
 public:
  PluginRun() {
    refhost::reset();
    hostApi() = HostApi{};
    refhost::bindInto(hostApi());
    hostApiLevel() = 430;
  }
  ~PluginRun() {
    hostApi() = HostApi{};
    refhost::reset();
  }

  std::map<int, std::vector<HostVec3>> run(HostHandle water, const std::vector<std::string>& checked, bool wind,
                                           int start, int end, int step) {
    refhost::select(water);
    commands.btnselectClick();
    for (int i = 0; i < effectors.count(); ++i)
      for (const std::string& name : checked)
        if (effectors.item(i).text == name) effectors.setChecked(i, true);
    if (wind) commands.SpeedButton1Click();
    params.end.setValue(static_cast<float>(end));
    params.start.setValue(static_cast<float>(start));
    params.step.setValue(static_cast<float>(step));
    btnstartClick(ctx);
    return refhost::vertexKeys(state.WaterObject);
  }

  SimulationState state;
  ParameterSet params;
  EffectorList effectors;
  rillmark::testing::RecordingRunView view;
  rillmark::testing::FakePlatform platform;
  SceneCommands commands{state, params, effectors, view, platform};
  RunContext ctx{state, params, view, platform, effectors};
};

HostHandle sphere(const char* name, float radius) {
  HostHandle s = ::tsxCreateSphere(12, 6, radius);
  ::tsxSceneAddObject(s, 1);
  ::tsxGNodeSetName(s, name);
  return s;
}

// Same bits, frame by frame; and the water really moved.
void expectSameSamples(const PointCache& baked, const std::map<int, std::vector<HostVec3>>& keyed) {
  ASSERT_TRUE(baked.wellFormed);
  ASSERT_EQ(baked.samples.size(), keyed.size());
  bool moved = false;
  std::size_t s = 0;
  for (const auto& [frame, vertices] : keyed) {
    const std::vector<HostVec3>& sample = baked.samples[s++];
    ASSERT_EQ(sample.size(), vertices.size());
    EXPECT_EQ(std::memcmp(sample.data(), vertices.data(), vertices.size() * sizeof(HostVec3)), 0)
        << "frame " << frame;
    for (std::size_t i = 0; i < sample.size(); ++i) moved = moved || sample[i].z != baked.samples[0][i].z;
  }
  EXPECT_TRUE(moved);
}

TEST(BakeMatchesPlugin, ExampleScene) {
  ScratchFolder folder;
  const BakeRun bake = runBake({"--scene", "examples/pond.json", "--pc2", folder / "pond.pc2"});
  ASSERT_EQ(bake.status, 0) << bake.err;
  const PointCache baked = readPc2(folder / "pond.pc2");

  // examples/pond.json, built by hand.
  PluginRun plugin;
  HostHandle water = refhost::addGrid("Pond", 81, 81, 8, 8, 0);
  HostHandle stone = sphere("Effector-Stone", 0.4f);
  refhost::addLocationKey(stone, -10, {-1.8f, 1.2f, 2});
  refhost::addLocationKey(stone, 30, {-1.8f, 1.2f, -2});
  HostHandle pebble = sphere("Effector-Pebble", 0.25f);
  refhost::addLocationKey(pebble, 20, {1.5f, -1.4f, 2});
  refhost::addLocationKey(pebble, 60, {1.5f, -1.4f, -2});
  const HostVec3 hull[] = {{-0.3f, -0.15f, -0.1f}, {0.3f, -0.15f, -0.1f}, {0.3f, 0.15f, -0.1f}, {-0.3f, 0.15f, -0.1f},
                           {-0.3f, -0.15f, 0.1f},  {0.3f, -0.15f, 0.1f},  {0.3f, 0.15f, 0.1f},  {-0.3f, 0.15f, 0.1f}};
  HostHandle boat = refhost::addPolyhedron("Effector-Boat", hull);
  refhost::addLocationKey(boat, 0, {-3, -2.5f, 0});
  refhost::addLocationKey(boat, 100, {3, 2.5f, 0});
  HostHandle wind = refhost::addObject("Wind Source", refhost::kPolyhedronKind);
  refhost::setLocation(wind, {0, 0, 1});
  refhost::setSize(wind, {2, 2, 2});
  const auto keyed = plugin.run(water, {}, true, 0, 100, 2);

  EXPECT_GT(plugin.state.Events.EventCount(), 20);
  expectSameSamples(baked, keyed);
  EXPECT_EQ(baked.startFrame, 0.0f);
  EXPECT_EQ(baked.sampleRate, 2.0f);
}

// A water grid, a cube effector sinking 1/8 a frame through it, a buoy
// named on the command line, and a rock that is no effector. Every
// coordinate is a multiple of 1/8, so each box's centre and size are
// exact whichever way they are computed.
struct Sequence {
  static constexpr int kSides = 17;
  static constexpr int kFrames = 21;
  static HostVec3 waterVertex(int i) {
    return {-2.0f + 0.25f * static_cast<float>(i % kSides), -2.0f + 0.25f * static_cast<float>(i / kSides), 0.0f};
  }
  static std::vector<HostVec3> cube(HostVec3 c) {
    std::vector<HostVec3> v;
    for (int k = 0; k < 8; ++k)
      v.push_back({c.x + ((k & 1) ? 0.25f : -0.25f), c.y + ((k & 2) ? 0.25f : -0.25f), c.z + ((k & 4) ? 0.25f : -0.25f)});
    return v;
  }
  static HostVec3 cubeAt(int frame) { return {0.5f, -0.25f, 1.0f - 0.125f * static_cast<float>(frame)}; }
  static constexpr HostVec3 kBuoy{-1.0f, 1.0f, 0.0f};
  static constexpr HostVec3 kRock{1.0f, 1.0f, 0.0f};

  // yUp: written with y and z swapped, as a Y-up program exports it.
  static void write(const ScratchFolder& folder, bool yUp = false, const char* stem = "shot_") {
    for (int f = 0; f < kFrames; ++f) {
      std::string text = "# frame " + std::to_string(f) + "\no Water\n";
      char line[96];
      auto vertex = [&](HostVec3 v) {
        if (yUp) std::swap(v.y, v.z);
        std::snprintf(line, sizeof line, "v %.9g %.9g %.9g\n", v.x, v.y, v.z);
        text += line;
      };
      for (int i = 0; i < kSides * kSides; ++i) vertex(waterVertex(i));
      for (int r = 0; r + 1 < kSides; ++r)
        for (int c = 0; c + 1 < kSides; ++c) {
          const int a = r * kSides + c + 1;
          text += "f " + std::to_string(a) + " " + std::to_string(a + 1) + " " + std::to_string(a + 1 + kSides) + " " +
                  std::to_string(a + kSides) + "\n";
        }
      const std::pair<const char*, HostVec3> others[] = {{"Effector-Cube", cubeAt(f)}, {"Buoy", kBuoy}, {"Rock", kRock}};
      for (const auto& [name, centre] : others) {
        text += std::string("o ") + name + "\n";
        for (const HostVec3& v : cube(centre)) vertex(v);
        text += "f -8 -7 -5 -6\nf -4 -3 -1 -2\n";  // bottom and top: every corner
      }
      char name[32];
      std::snprintf(name, sizeof name, "%s%04d.obj", stem, f);
      writeText(folder / name, text);
    }
  }
};

TEST(BakeMatchesPlugin, ObjSequence) {
  ScratchFolder folder;
  Sequence::write(folder);
  const BakeRun bake = runBake({"--obj-sequence", folder / "shot_####.obj", "--water", "Water", "--effector", "Buoy",
                                "--step", "1", "--pc2", folder / "out.pc2"});
  ASSERT_EQ(bake.status, 0) << bake.err;
  const PointCache baked = readPc2(folder / "out.pc2");

  PluginRun plugin;
  std::vector<HostVec3> rest;
  for (int i = 0; i < Sequence::kSides * Sequence::kSides; ++i) rest.push_back(Sequence::waterVertex(i));
  HostHandle water = refhost::addPolyhedron("Water", rest);
  HostHandle cube = refhost::addPolyhedron("Effector-Cube", Sequence::cube({0, 0, 0}));
  for (int f = 0; f < Sequence::kFrames; ++f) refhost::addLocationKey(cube, static_cast<float>(f), Sequence::cubeAt(f));
  refhost::addPolyhedron("Buoy", Sequence::cube(Sequence::kBuoy));
  refhost::addPolyhedron("Rock", Sequence::cube(Sequence::kRock));
  const auto keyed = plugin.run(water, {"Buoy"}, false, 0, Sequence::kFrames - 1, 1);

  EXPECT_GT(plugin.state.Events.EventCount(), Sequence::kFrames);
  expectSameSamples(baked, keyed);
}

// The same scene as a program hands it over: the water as a file of points,
// the cube and the buoy as a box per frame, and a wind source as one box.
// The samples are the plug-in's; with an output transform, each sample is
// that transform of them; given with y up, they are the same with the axes
// swapped.
TEST(BakeMatchesPlugin, SceneOfPointsAndBoxes) {
  ScratchFolder folder;
  std::vector<HostVec3> rest;
  for (int i = 0; i < Sequence::kSides * Sequence::kSides; ++i) rest.push_back(Sequence::waterVertex(i));
  // The scene in z-up coordinates, or in y-up ones with y and z swapped.
  const auto write = [&](const std::string& name, bool yUp, const std::string& more) {
    const auto axes = [yUp](HostVec3 v) { return yUp ? HostVec3{v.x, v.z, v.y} : v; };
    std::vector<HostVec3> points;
    for (const HostVec3& v : rest) points.push_back(axes(v));
    writeText(folder / (name + ".f32"),
              std::string(reinterpret_cast<const char*>(points.data()), points.size() * sizeof(HostVec3)));
    const auto box = [&](int frame, HostVec3 c, float half) {
      const HostVec3 lo = axes({c.x - half, c.y - half, c.z - half}), hi = axes({c.x + half, c.y + half, c.z + half});
      char text[160];
      std::snprintf(text, sizeof text, "[%d, %.9g, %.9g, %.9g, %.9g, %.9g, %.9g]", frame, lo.x, lo.y, lo.z, hi.x,
                    hi.y, hi.z);
      return std::string(text);
    };
    std::string cube;
    for (int f = 0; f < Sequence::kFrames; ++f) cube += (f ? ", " : "") + box(f, Sequence::cubeAt(f), 0.25f);
    writeText(folder / (name + ".json"),
              std::string(yUp ? R"({"up": "y", )" : "{") + R"("water": {"points": ")" + name + R"(.f32"}, )" +
                  R"("effectors": [{"name": "Effector-Cube", "boxes": [)" + cube + "]}, " +
                  R"({"name": "Buoy", "boxes": [)" + box(0, Sequence::kBuoy, 0.25f) + "]}], " +
                  R"("wind": {"boxes": [)" + box(0, {0, 0, 1}, 1.0f) + "]}" + more + "}");
    const BakeRun bake =
        runBake({"--scene", folder / (name + ".json"), "--step", "1", "--end", "20", "--pc2", folder / (name + ".pc2")});
    ASSERT_EQ(bake.status, 0) << bake.err;
  };
  write("scene", false, "");
  write("moved", false, R"(, "output_transform": [[0, -2, 0, 1.5], [0.5, 0, 0, -3], [0, 0, 4, 0.25]])");
  write("yup", true, "");
  const PointCache baked = readPc2(folder / "scene.pc2");

  PluginRun plugin;
  HostHandle water = refhost::addPolyhedron("Water", rest);
  HostHandle cubeObject = refhost::addPolyhedron("Effector-Cube", Sequence::cube({0, 0, 0}));
  for (int f = 0; f < Sequence::kFrames; ++f)
    refhost::addLocationKey(cubeObject, static_cast<float>(f), Sequence::cubeAt(f));
  refhost::addPolyhedron("Buoy", Sequence::cube(Sequence::kBuoy));
  HostHandle wind = refhost::addObject("Wind Source", refhost::kPolyhedronKind);
  refhost::setLocation(wind, {0, 0, 1});
  refhost::setSize(wind, {2, 2, 2});
  expectSameSamples(baked, plugin.run(water, {"Buoy"}, true, 0, Sequence::kFrames - 1, 1));

  const PointCache moved = readPc2(folder / "moved.pc2");
  ASSERT_EQ(moved.samples.size(), baked.samples.size());
  for (std::size_t s = 0; s < moved.samples.size(); ++s) {
    for (std::size_t i = 0; i < rest.size(); ++i) {
      const HostVec3 v = baked.samples[s][i];
      const HostVec3 m = moved.samples[s][i];
      ASSERT_EQ(m.x, static_cast<float>(-2.0 * v.y + 1.5)) << s << " " << i;
      ASSERT_EQ(m.y, static_cast<float>(0.5 * v.x - 3.0)) << s << " " << i;
      ASSERT_EQ(m.z, static_cast<float>(4.0 * v.z + 0.25)) << s << " " << i;
    }
  }
  const PointCache yUp = readPc2(folder / "yup.pc2");
  ASSERT_EQ(yUp.samples.size(), baked.samples.size());
  for (std::size_t s = 0; s < yUp.samples.size(); ++s)
    for (std::size_t i = 0; i < rest.size(); ++i) {
      const HostVec3 a = baked.samples[s][i], b = yUp.samples[s][i];
      ASSERT_TRUE(a.x == b.x && a.y == b.z && a.z == b.y) << "sample " << s << ", vertex " << i;
    }
}

// The same sequence exported with y up bakes to the same heights, moving
// along y, and every output keeps the files' axes. Read as z up, it gets a
// warning that names y.
TEST(BakeMatchesPlugin, AYUpSequenceBakesLikeItsZUpTwin) {
  ScratchFolder folder;
  Sequence::write(folder, false, "z_");
  Sequence::write(folder, true, "y_");
  const auto bake = [&](const std::string& stem, std::vector<std::string> more) {
    std::vector<std::string> args = {"--obj-sequence", folder / (stem + "####.obj"), "--water", "Water", "--step", "1",
                                     "--pc2", folder / (stem + ".pc2"), "--obj-out", folder / stem};
    args.insert(args.end(), more.begin(), more.end());
    return runBake(args);
  };
  const BakeRun z = bake("z_", {});
  ASSERT_EQ(z.status, 0) << z.err;
  EXPECT_EQ(z.err.find("warning"), std::string::npos) << z.err;
  const BakeRun y = bake("y_", {"--up-axis", "y"});
  ASSERT_EQ(y.status, 0) << y.err;
  EXPECT_EQ(y.err.find("warning"), std::string::npos) << y.err;

  const PointCache zUp = readPc2(folder / "z_.pc2");
  const PointCache yUp = readPc2(folder / "y_.pc2");
  ASSERT_TRUE(zUp.wellFormed && yUp.wellFormed);
  ASSERT_EQ(zUp.samples.size(), yUp.samples.size());
  bool moved = false;
  for (std::size_t s = 0; s < zUp.samples.size(); ++s) {
    for (std::size_t i = 0; i < zUp.samples[s].size(); ++i) {
      const HostVec3 a = zUp.samples[s][i], b = yUp.samples[s][i];
      ASSERT_TRUE(a.x == b.x && a.y == b.z && a.z == b.y) << "sample " << s << ", vertex " << i;
      moved = moved || a.z != 0.0f;
    }
  }
  EXPECT_TRUE(moved);
  const ObjMesh obj = readSimpleObj(folder / "y_/Water_0020.obj");
  ASSERT_EQ(obj.vertices.size(), yUp.samples.back().size());
  EXPECT_EQ(std::memcmp(obj.vertices.data(), yUp.samples.back().data(), obj.vertices.size() * sizeof(HostVec3)), 0);

  const BakeRun unsaid = bake("y_", {});
  EXPECT_NE(unsaid.err.find("warning: the water lies flat across y, not across z"), std::string::npos) << unsaid.err;
  EXPECT_NE(unsaid.err.find("--up-axis y"), std::string::npos) << unsaid.err;
}

}  // namespace
}  // namespace bake::testing
