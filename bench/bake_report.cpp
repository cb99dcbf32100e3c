// Times rillmark-bake in one run and prints the ratios:
//  - the bake of scene (a) (the 300 x 300 water, ten spheres, frames 0 to
//    200) to a PC2 by the program itself, on one thread and on every core,
//    to a new file and over the file of the bake before;
//  - the same run without any output, in this process;
//  - the writing of that PC2 with nothing simulated, by the program's own
//    writer on one thread (no bake can end sooner, whatever its thread
//    count), and by two threads at once into one file, with pwrite and
//    through a shared mapping, the two ways of sharing the writing;
//  - the writing of one OBJ frame of that water: the formatting the
//    program used before (printf's %.9g) against today's (to_chars), each
//    with the write into the system's file cache.
// Each figure is the fastest of several repeats, since the machine is
// shared. Built natively only: the Windows program is the same code.
//
//   bake_report [--repeat N]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include "apps/bake/bake_host.h"
#include "apps/bake/bake_run.h"
#include "apps/bake/bake_threads.h"
#include "apps/bake/scene_file.h"
#include "apps/bake/frame_writers.h"
#include "bench/scene_layout.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
namespace layout = rillmark::bench::layout;

double secondsSince(Clock::time_point begin) { return std::chrono::duration<double>(Clock::now() - begin).count(); }

// Scene (a) as a scene file: the same spheres on the same paths as the
// benchmark scene the plug-in runs.
std::string fallingSceneFile() {
  std::string text = "{\"water\": {\"grid\": {\"sides\": " + std::to_string(layout::kGridSide) +
                     ", \"extent\": " + std::to_string(layout::kWaterSide) + "}},\n\"effectors\": [\n";
  const auto paths = layout::fallingPaths();
  char key[160];
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const layout::Path& p = paths[i];
    std::snprintf(key, sizeof key, "[[%.9g, %.9g, %.9g, %.9g], [%.9g, %.9g, %.9g, %.9g]]", p.firstFrame, p.from[0],
                  p.from[1], p.from[2], p.lastFrame, p.to[0], p.to[1], p.to[2]);
    text += std::string(i ? ",\n" : "") + "  {\"sphere\": {\"radius\": 0.4}, \"keys\": " + key + "}";
  }
  return text + "\n]}\n";
}

// How a timed bake finds its output: a bake to a new file is a user's
// first bake; over the file of the bake before is every later one, which
// also removes the old file once the new one is in place.
enum class Output { New, OverOld };

// The fastest of `repeat` whole bakes (reading, run, writing, putting in
// place, the program's start and end) by the real program, one thread and
// every core taking turns, so that a busy moment of the machine falls on
// both alike.
struct BakeTimes {
  double one = std::numeric_limits<double>::infinity();
  double every = std::numeric_limits<double>::infinity();
  std::vector<double> ratios;  // of each repeat's own two runs

  void add(double oneThread, double everyCore) {
    one = std::min(one, oneThread);
    every = std::min(every, everyCore);
    ratios.push_back(oneThread / everyCore);
  }
  double medianRatio() {
    std::sort(ratios.begin(), ratios.end());
    const std::size_t n = ratios.size();
    return n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
  }
  void print(const char* what, unsigned cores) {
    std::printf("  %s: one thread %.3f s, every core (%u) %.3f s: %.2fx faster (each repeat's own ratio, median: %.2fx)\n",
                what, one, cores, every, one / every, medianRatio());
  }
};

double timeOneBake(const fs::path& folder, const char* threads, Output output) {
  const std::string scene = (folder / "falling.json").string(), pc2 = (folder / "falling.pc2").string();
  const std::string end = std::to_string(layout::kFallingLastFrame + 1), log = (folder / "log.txt").string();
  const char* argv[] = {RILLMARK_BAKE_PROGRAM, "--scene", scene.c_str(), "--start", "0", "--end", end.c_str(),
                        "--step", "1", "--threads", threads, "--pc2", pc2.c_str(), nullptr};
  std::error_code ec;
  if (output == Output::New) fs::remove(pc2, ec);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  const Clock::time_point begin = Clock::now();
  pid_t pid = 0;
  int status = -1;
  const bool started = posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) == 0;
  if (started) ::waitpid(pid, &status, 0);
  const double seconds = secondsSince(begin);
  posix_spawn_file_actions_destroy(&actions);
  if (!started || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "bake_report: the bake failed; see %s\n", log.c_str());
    std::exit(1);
  }
  return seconds;
}

BakeTimes timeBakes(const fs::path& folder, Output output, int repeat) {
  BakeTimes times;
  for (int r = 0; r < repeat; ++r) {
    const double one = timeOneBake(folder, "1", output);
    times.add(one, timeOneBake(folder, "0", output));
  }
  return times;
}

// Seconds of the simulation alone: the same run of the same scene in this
// process, its samples handed to nobody.
double timeSimulation(const bake::BakeScene& scene, unsigned threads) {
  bake::BakeHost host;
  bake::RunRequest request;
  request.water = host.build(scene);
  std::optional<bake::BakeThreads> bands;
  if (threads > 1) request.bands = &bands.emplace(threads);
  rillmark::ParameterSet params;
  params.start.setValue(0);
  params.end.setValue(static_cast<float>(layout::kFallingLastFrame + 1));
  params.step.setValue(1);
  const Clock::time_point begin = Clock::now();
  const bake::RunOutcome outcome = bake::runSimulation(host, params, request);
  const double seconds = secondsSince(begin);
  if (outcome.frames != layout::kFallingLastFrame + 2) {
    std::fprintf(stderr, "bake_report: the run simulated %d frames\n", outcome.frames);
    std::exit(1);
  }
  return seconds;
}

// Seconds to write the PC2 of a bake of `frames` frames of `frame` with
// nothing simulated: the program's own writer on one thread, up to the
// file's last flush (the file is removed afterwards, untimed).
double timeWritingAlone(const fs::path& folder, const std::vector<HostVec3>& frame, int frames) {
  const Clock::time_point begin = Clock::now();
  const auto writer = bake::makePc2Writer((folder / "alone.pc2").string(), static_cast<int>(frame.size()), 0.0f,
                                          1.0f, frames);
  for (int f = 0; f < frames; ++f) writer->frame(f, frame);
  writer->finish();
  return secondsSince(begin);
}

// Seconds for two threads to write the same frames into one new file,
// each every other frame at its place: with pwrite, or through a shared
// mapping of the whole file.
double timeTwoWriters(const fs::path& file, const std::vector<HostVec3>& frame, int frames, bool mapped) {
  const std::size_t bytes = frame.size() * sizeof(HostVec3), size = bytes * static_cast<std::size_t>(frames);
  std::error_code ec;
  fs::remove(file, ec);
  const Clock::time_point begin = Clock::now();
  const int fd = ::open(file.c_str(), O_CREAT | O_EXCL | (mapped ? O_RDWR : O_WRONLY), 0644);
  char* map = nullptr;
  if (fd >= 0 && mapped && ::ftruncate(fd, static_cast<off_t>(size)) == 0) {
    void* at = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (at != MAP_FAILED) map = static_cast<char*>(at);
  }
  if (fd < 0 || (mapped && !map)) {
    std::fprintf(stderr, "bake_report: cannot make %s\n", file.c_str());
    std::exit(1);
  }
  bool whole = true;
  const auto writeEveryOther = [&](int first) {
    for (int f = first; f < frames; f += 2) {
      const std::size_t at = bytes * static_cast<std::size_t>(f);
      if (map) {
        std::memcpy(map + at, frame.data(), bytes);
      } else if (::pwrite(fd, frame.data(), bytes, static_cast<off_t>(at)) != static_cast<ssize_t>(bytes)) {
        whole = false;
      }
    }
  };
  std::thread other(writeEveryOther, 1);
  writeEveryOther(0);
  other.join();
  if (map) ::munmap(map, size);
  ::close(fd);
  const double seconds = secondsSince(begin);
  fs::remove(file, ec);
  if (!whole) {
    std::fprintf(stderr, "bake_report: cannot write %s\n", file.c_str());
    std::exit(1);
  }
  return seconds;
}

// One frame as the program formatted it before: printf's %.9g per number.
void appendObjFrameBefore(std::string& text, int frame, const std::string& objectLine,
                          const std::vector<HostVec3>& vertices, const std::string& faceText) {
  text += "# Rillmark bake, frame " + std::to_string(frame) + "\n" + objectLine;
  char line[96];
  for (const HostVec3& v : vertices) {
    std::snprintf(line, sizeof line, "v %.9g %.9g %.9g\n", static_cast<double>(v.x), static_cast<double>(v.y),
                  static_cast<double>(v.z));
    text += line;
  }
  text += faceText;
}

template <class Format>
double timeObjFrame(const fs::path& file, int repeat, Format format) {
  constexpr int kFrames = 10;
  double best = std::numeric_limits<double>::infinity();
  for (int r = 0; r < repeat; ++r) {
    const Clock::time_point begin = Clock::now();
    for (int f = 0; f < kFrames; ++f) {
      std::string text;
      format(text, f);
      std::ofstream out(file, std::ios::binary | std::ios::trunc);
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    best = std::min(best, secondsSince(begin) / kFrames);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 5;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) repeat = std::max(1, std::atoi(argv[++i]));
  }
  // In memory where the system has such a folder: the disk would decide
  // the times otherwise, not the cores.
  std::error_code ec;
  const fs::path memory = "/dev/shm";
  const fs::path folder = (fs::is_directory(memory, ec) ? memory : fs::temp_directory_path()) / "rillmark-bake-report";
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream(folder / "falling.json") << fallingSceneFile();

  const unsigned cores = bake::everyCore();
  std::printf("rillmark-bake, scene (a) to a PC2 in %s (201 frames of a 300 x 300 water, ten spheres), fastest of %d:\n",
              folder.parent_path().string().c_str(), repeat);
  BakeTimes toNewFile = timeBakes(folder, Output::New, repeat);
  toNewFile.print("to a new file", cores);
  timeBakes(folder, Output::OverOld, repeat).print("over the last bake's file", cores);
  const bake::BakeScene scene = bake::readSceneFile((folder / "falling.json").string());
  BakeTimes simulation;
  for (int r = 0; r < repeat; ++r) {
    const double one = timeSimulation(scene, 1);
    simulation.add(one, timeSimulation(scene, cores));
  }
  simulation.print("the same run without writing (the simulation alone)", cores);

  // A frame of the water at rest with small heights: the frame of the
  // writing alone, and written as the OBJ writer writes it.
  const int side = layout::kGridSide;
  std::vector<HostVec3> vertices;
  for (int i = 0; i < side * side; ++i) {
    const float x = -5.0f + 10.0f * static_cast<float>(i % side) / (side - 1);
    const float y = -5.0f + 10.0f * static_cast<float>(i / side) / (side - 1);
    vertices.push_back({x, y, 0.05f * std::sin(3.0f * x) * std::cos(2.0f * y)});
  }
  const int frames = layout::kFallingLastFrame + 2;
  double alone = std::numeric_limits<double>::infinity(), shared = alone, mapped = alone;
  for (int r = 0; r < repeat; ++r) {
    alone = std::min(alone, timeWritingAlone(folder, vertices, frames));
    shared = std::min(shared, timeTwoWriters(folder / "two.bin", vertices, frames, false));
    mapped = std::min(mapped, timeTwoWriters(folder / "two.bin", vertices, frames, true));
  }
  std::printf("  the writing alone (the program's writer, nothing simulated): %.3f s; one thread's bake / the writing "
              "alone: %.2fx, the most any number of threads can gain\n"
              "  the same bytes written by two threads at once into one file: with pwrite %.3f s, through a shared "
              "mapping %.3f s\n",
              alone, toNewFile.one / alone, shared, mapped);

  std::string faceText;
  for (int row = 0; row + 1 < side; ++row)
    for (int column = 0; column + 1 < side; ++column) {
      const int a = row * side + column + 1;
      faceText += "f " + std::to_string(a) + " " + std::to_string(a + 1) + " " + std::to_string(a + 1 + side) + " " +
                  std::to_string(a + side) + "\n";
    }
  const fs::path file = folder / "frame.obj";
  const double before = timeObjFrame(file, repeat, [&](std::string& text, int f) {
    for (HostVec3& v : vertices) v.z += 1e-4f;
    appendObjFrameBefore(text, f, "o Water\n", vertices, faceText);
  });
  // The heights of a new frame differ; x and y stay, as in a run.
  bake::ObjFrameText frameText("o Water\n");
  const double after = timeObjFrame(file, repeat, [&](std::string& text, int f) {
    for (HostVec3& v : vertices) v.z += 1e-4f;
    frameText.format(text, f, vertices);
    text += faceText;
  });
  std::printf("One OBJ frame of the 300 x 300 water, formatted and written:\n"
              "  before (%%.9g): %.1f ms\n  now (to_chars): %.1f ms\n  now / before: %.2fx faster\n",
              1000 * before, 1000 * after, before / after);
  fs::remove_all(folder);
  return 0;
}
