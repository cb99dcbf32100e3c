// The bake program's files and its answers to bad input: every output read
// back by the test's own readers, and for each kind of bad input a message
// that says where and what, the right exit status, and no output.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#ifdef _WIN32
#include <process.h>
#endif
#include <string>
#include <vector>

#include "bake_support.h"
#include "cache_readers.h"
#include "obj_reader.h"
#include "bake_error.h"
#include "file_names.h"
#include "preview.h"

namespace bake::testing {
namespace {

// A 5 x 5 water with one sphere dropping through its middle.
constexpr const char* kSmallScene = R"({
  "water": { "grid": { "sides": 5, "extent": 2.0 } },
  "effectors": [ { "sphere": { "radius": 0.3 }, "keys": [[0, 0.1, 0.0, 1.0], [10, 0.1, 0.0, -1.0]] } ]
})";

TEST(BakeFiles, Pc2MddAndObjHoldTheSameSamples) {
  ScratchFolder folder;
  writeText(folder / "scene.json", kSmallScene);
  const BakeRun run = runBake({"--scene", folder / "scene.json", "--start", "2", "--end", "9", "--step", "3",
                               "--pc2", folder / "w.pc2", "--mdd", folder / "w.mdd", "--fps", "25", "--obj-out",
                               folder / "objs", "--progress-lines"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Baked 3 frames"), std::string::npos) << run.out;
  // The last frame's line, which a program reading the progress waits for.
  EXPECT_NE(run.err.find("rillmark-bake: frames 3/3, "), std::string::npos) << run.err;

  const PointCache pc2 = readPc2(folder / "w.pc2");
  ASSERT_TRUE(pc2.wellFormed);
  EXPECT_EQ(pc2.signature, std::string("POINTCACHE2", 12));
  EXPECT_EQ(pc2.version, 1);
  EXPECT_EQ(pc2.points, 25);
  EXPECT_EQ(pc2.startFrame, 2.0f);
  EXPECT_EQ(pc2.sampleRate, 3.0f);
  ASSERT_EQ(pc2.samples.size(), 3u);  // frames 2, 5, 8

  const PointCache mdd = readMdd(folder / "w.mdd");
  ASSERT_TRUE(mdd.wellFormed);
  EXPECT_EQ(mdd.points, 25);
  EXPECT_EQ(mdd.times, (std::vector<float>{2 / 25.0f, 5 / 25.0f, 8 / 25.0f}));

  const int frames[] = {2, 5, 8};
  for (std::size_t s = 0; s < 3; ++s) {
    ASSERT_EQ(std::memcmp(mdd.samples[s].data(), pc2.samples[s].data(), 25 * sizeof(HostVec3)), 0) << s;
    const ObjMesh obj = readSimpleObj(folder / ("objs/Water_000" + std::to_string(frames[s]) + ".obj"));
    EXPECT_EQ(obj.name, "Water");
    ASSERT_EQ(obj.vertices.size(), 25u);
    EXPECT_EQ(std::memcmp(obj.vertices.data(), pc2.samples[s].data(), 25 * sizeof(HostVec3)), 0) << s;
    ASSERT_EQ(obj.faces.size(), 16u);
    EXPECT_EQ(obj.faces[0], (std::vector<int>{1, 2, 7, 6}));
  }
  // The grid lies in the file as the host made it, row by row from -y.
  EXPECT_EQ(pc2.samples[0][0].x, -1.0f);
  EXPECT_EQ(pc2.samples[0][1].y, -1.0f);
  EXPECT_EQ(pc2.samples[0][24].y, 1.0f);
  // The sphere reaches the water by frame 5: the water has moved.
  bool moved = false;
  for (const HostVec3& v : pc2.samples[2]) moved = moved || v.z != 0.0f;
  EXPECT_TRUE(moved);
}

struct BadInput {
  const char* name;
  std::vector<std::string> files;  // name, text, name, text ...
  std::vector<std::string> args;   // "@" is replaced by the folder
  int status;
  std::string message;
};

TEST(BakeFiles, BadInputIsReportedAndWritesNothing) {
  const std::string water = "o Water\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  const std::string preset = "0.5\n0.06\n0.75\nabc\n0.05\n50\n0.7\n0\n1\n0\n";
  const BadInput cases[] = {
      {"truncated OBJ", {"s_0000.obj", water + "o Effector-1\nv 0 0"},
       {"--obj-sequence", "@/s_####.obj", "--water", "Water"}, 1, "s_0000.obj:7: a vertex needs three numbers"},
      {"water without vertices", {"s_0000.obj", "o Water\no Effector-1\nv 0 0 0\n"},
       {"--obj-sequence", "@/s_####.obj", "--water", "Water"}, 1, "the water 'Water' has no vertices"},
      {"missing frame", {"s_0000.obj", water, "s_0001.obj", water, "s_0003.obj", water},
       {"--obj-sequence", "@/s_%04d.obj", "--water", "Water"}, 1, "frame 2 of the sequence is missing: "},
      {"face corner past the file's vertices", {"s_0000.obj", water + "o Effector-1\nv 0 0 0\nf 1 2 5\n"},
       {"--obj-sequence", "@/s_####.obj", "--water", "Water"}, 1, "s_0000.obj:8: corner 5 is not a vertex: the file has 4"},
      {"unknown option", {}, {"--scene", "@/x.json", "--amplitde", "3"}, 2, "--amplitde"},
      {"value out of range", {}, {"--scene", "@/x.json", "--step", "0"}, 2, "--step"},
      {"preset with a bad line", {"bad.rmp", preset}, {"--scene", "examples/pond.json", "--preset", "@/bad.rmp"}, 2,
       "bad.rmp:4: 'abc' is not a valid floating point value"},
      {"JSON syntax", {"x.json", "{\n  \"water\": {\n    \"grid\": { \"sides\": 5, }\n}"}, {"--scene", "@/x.json"}, 1,
       "x.json: parse error at line 3"},
      {"JSON value", {"x.json", "{\"water\": {\"grid\": {\"sides\": 5, \"extent\": 2}},\n \"effectors\": [\n  {\"sphere\":\n {\"radius\": -1}}]}"},
       {"--scene", "@/x.json"}, 1, "x.json:4: effectors[0].sphere.radius: must be above 0"},
      {"misspelt member", {"x.json", "{\"water\": {\"grid\": {\"sides\": 5, \"extent\": 2}},\n\"efectors\": []}"},
       {"--scene", "@/x.json"}, 1, "x.json:2: efectors: unknown member \"efectors\""},
      {"points file cut short", {"w.f32", "12345", "x.json", "{\"water\": {\"points\": \"w.f32\"}}"},
       {"--scene", "@/x.json"}, 1, "w.f32: holds 5 bytes"},
      {"box upside down", {"x.json", "{\"water\": {\"grid\": {\"sides\": 5, \"extent\": 2}},\n\"effectors\": "
                                     "[{\"boxes\": [[0, 1, 0, 0, 0, 1, 1]]}]}"},
       {"--scene", "@/x.json"}, 1, "x.json:2: effectors[0].boxes[0]: a minimum is above its maximum"},
      {"transform not affine", {"x.json", "{\"water\": {\"grid\": {\"sides\": 5, \"extent\": 2}},\n"
                                          "\"output_transform\": [[1, 0, 0, 0]]}"},
       {"--scene", "@/x.json"}, 1, "x.json:2: output_transform: must be three rows"},
  };
  for (const BadInput& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder folder;
    for (std::size_t i = 0; i + 1 < c.files.size(); i += 2) writeText(folder / c.files[i], c.files[i + 1]);
    const std::vector<std::string> before = folder.names();
    std::vector<std::string> args;
    for (std::string a : c.args) {
      if (a[0] == '@') a = folder / a.substr(2);
      args.push_back(a);
    }
    for (const char* output : {"--pc2", "--mdd", "--obj-out"}) {
      args.push_back(output);
      args.push_back(folder / (std::string("out") + output));
    }
    const BakeRun run = runBake(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(folder.names(), before);  // no output, no leftover
  }
}

// Ctrl-C: the run stops after its frame and every output goes.
TEST(BakeFiles, InterruptedRunLeavesNothing) {
  ScratchFolder folder;
  writeText(folder / "scene.json", kSmallScene);
  const std::vector<std::string> args = {"rillmark-bake", "--scene", folder / "scene.json", "--pc2", folder / "w.pc2",
                                         "--obj-out", folder / "objs"};
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  const volatile std::sig_atomic_t stop = 1;
  const Capture out = captureFile();
  const Capture err = captureFile();
  EXPECT_EQ(runBakeProgram(static_cast<int>(argv.size()), argv.data(), out.file, err.file, &stop), 130);
  EXPECT_NE(drain(err).find("interrupted"), std::string::npos);
  drain(out);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"scene.json"});
}

// A bake that fails once its outputs are made removes the folders it made
// for the OBJ frames, however deep, and nothing else. The preview, made
// after them, is what fails.
TEST(BakeFiles, FailedBakeRemovesTheFoldersItMade) {
  if (!bake::previewAvailable()) GTEST_SKIP() << "this build writes no preview";
  ScratchFolder folder;
  writeText(folder / "scene.json", kSmallScene);
  std::filesystem::create_directory(folder / "taken.gif");
  const BakeRun run =
      runBake({"--scene", folder / "scene.json", "--obj-out", folder / "cache/objs/", "--preview", folder / "taken.gif"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("taken.gif: something other than a file is there"), std::string::npos) << run.err;
  EXPECT_EQ(folder.names(), (std::vector<std::string>{"scene.json", "taken.gif"}));
}

// The synthesis shares each frame's vertices among threads: any number of
// them gives the same bytes (the example has wind, so the wind's place
// between the first event's wave and the others is kept too).
TEST(BakeFiles, EveryThreadCountGivesTheSameBytes) {
  ScratchFolder folder;
  std::string first;
  for (const char* threads : {"1", "2", "3", "0"}) {
    SCOPED_TRACE(threads);
    const std::string pc2 = folder / (std::string("t") + threads + ".pc2");
    const BakeRun run = runBake({"--scene", "examples/pond.json", "--end", "40", "--threads", threads, "--pc2", pc2});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string bytes = fileBytes(pc2);
    if (first.empty()) first = bytes;
    EXPECT_TRUE(bytes == first);
  }
  EXPECT_GT(first.size(), 6561u * 12 * 20);
}

// Without --start or --end, the sequence's first and last files give them.
TEST(BakeFiles, AnObjSequenceGivesTheFramesNotGiven) {
  ScratchFolder folder;
  const std::string frame = "o Water\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  for (const char* name : {"s_0150.obj", "s_0151.obj", "s_0152.obj", "s_0153.obj"}) writeText(folder / name, frame);
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "Baked 4 frames (150 to 153"},
      {{"--start", "151"}, "Baked 3 frames (151 to 153"},
      {{"--end", "152"}, "Baked 3 frames (150 to 152"},
  };
  for (const auto& [range, summary] : cases) {
    std::vector<std::string> args = {"--obj-sequence", folder / "s_####.obj", "--water", "Water", "--step", "1",
                                     "--pc2", folder / "out.pc2"};
    args.insert(args.end(), range.begin(), range.end());
    const BakeRun run = runBake(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(summary), std::string::npos) << run.out;
  }
}

// Folder and file names with letters outside any one code page: the same
// bytes as under plain names, and every output under its own name.
TEST(BakeFiles, NamesInAnyScript) {
  ScratchFolder folder;
  const std::string inside = folder / "\xC3\x9Cr\xC3\xBCn \xE2\x82\xACuro \xE6\x97\xA5\xE6\x9C\xAC";  // Ürün €uro 日本
  std::filesystem::create_directories(pathOf(inside));
  for (const char* file : {"pond.json", "boat.obj"})
    std::filesystem::copy_file(pathOf(std::string("examples/") + file), pathOf(inside + "/" + file));
  const std::string ripples = inside + "/\xE6\xB3\xA2\xE7\xB4\x8B";  // 波紋
  const BakeRun wide = runBake({"--scene", inside + "/pond.json", "--end", "10", "--pc2", ripples + ".pc2", "--mdd",
                                ripples + ".mdd", "--obj-out", ripples});
  ASSERT_EQ(wide.status, 0) << wide.err;
  const BakeRun plain = runBake({"--scene", "examples/pond.json", "--end", "10", "--pc2", folder / "plain.pc2"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_TRUE(fileBytes(ripples + ".pc2") == fileBytes(folder / "plain.pc2"));
  EXPECT_TRUE(std::filesystem::is_regular_file(pathOf(ripples + ".mdd")));
  EXPECT_TRUE(std::filesystem::is_regular_file(pathOf(ripples + "/Pond_0010.obj")));
#ifdef RILLMARK_BAKE_PROGRAM
#ifdef _WIN32
  // The program itself, given the names on a UTF-16 command line.
  // Wine's drive Z: is the root of the build machine's file system.
  const std::string where = RILLMARK_BAKE_PROGRAM;
  const std::wstring program = pathOf(where.front() == '/' ? "Z:" + where : where).wstring();
  // The runtime joins the arguments with blanks: names with blanks go in quotes.
  const auto quoted = [](const std::string& utf8) { return L"\"" + pathOf(utf8).wstring() + L"\""; };
  const std::wstring scene = quoted(inside + "/pond.json"), out = quoted(ripples + "-exe.pc2");
  const wchar_t* argv[] = {L"rillmark-bake", L"--scene", scene.c_str(), L"--end", L"10", L"--pc2", out.c_str(), nullptr};
  EXPECT_EQ(_wspawnv(_P_WAIT, program.c_str(), argv), 0);
  EXPECT_TRUE(fileBytes(ripples + "-exe.pc2") == fileBytes(folder / "plain.pc2"));
#endif
#endif
}

TEST(BakeFiles, HelpListsEveryOptionWithItsDefault) {
  const BakeRun run = runBake({"--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* option : {"--amplitude", "--wavelength", "--speed", "--decay", "--time-decay", "--life-span",
                             "--noise-scale", "--time-scale", "--octaves", "--disturbance-type", "--sharp", "--invert",
                             "--wind", "--record-keys", "--check-range", "--start", "--end", "--step", "--preset",
                             "--pc2", "--mdd", "--fps", "--obj-out", "--preview", "--obj-sequence", "--scene",
                             "--threads", "--up-axis"})
    EXPECT_NE(run.out.find(option), std::string::npos) << option;
  EXPECT_NE(run.out.find("0.06"), std::string::npos);  // Wavelength's default
}

}  // namespace
}  // namespace bake::testing
