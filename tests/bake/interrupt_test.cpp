// Ctrl-C reaches the real program while it reads a long OBJ sequence: it
// stops within a second, says so, exits with 130 and leaves nothing of its
// own behind. A second Ctrl-C ends it at once.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "bake_support.h"
#include "cache_readers.h"

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace bake::testing {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

// A water of side x side vertices, frames 0 to frames - 1.
void writeLongSequence(const ScratchFolder& folder, int frames, int side) {
  std::string text = "o Water\n";
  for (int i = 0; i < side * side; ++i)
    text += "v " + std::to_string(i % side) + " " + std::to_string(i / side) + " 0\n";
  for (int f = 0; f < frames; ++f) {
    char name[32];
    std::snprintf(name, sizeof name, "s_%04d.obj", f);
    writeText(folder / name, text);
  }
}

// Starts the real program with its standard error in `log`.
pid_t startBake(const std::vector<std::string>& args, const std::string& log) {
  std::vector<char*> argv{const_cast<char*>(RILLMARK_BAKE_PROGRAM)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

TEST(Interrupt, CtrlCWhileReadingStopsTheProgramAndLeavesNothing) {
  ScratchFolder folder;
  writeLongSequence(folder, 400, 150);
  const std::vector<std::string> before = folder.names();

  const std::string log = folder / "err.txt";
  const pid_t pid = startBake({"--obj-sequence", folder / "s_####.obj", "--water", "Water", "--pc2", folder / "out.pc2",
                               "--obj-out", folder / "objs"},
                              log);
  ASSERT_GT(pid, 0);

  // Well into reading: 400 files take several seconds.
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  const auto signalled = std::chrono::steady_clock::now();
  ASSERT_EQ(::kill(pid, SIGINT), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - signalled).count();

  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  EXPECT_LT(seconds, 1.0);
  const std::string err = fileBytes(log);
  EXPECT_NE(err.find("interrupted; nothing was changed"), std::string::npos) << err;
  EXPECT_EQ(err.find("frames "), std::string::npos) << "the run had started: " << err;
  std::vector<std::string> after = folder.names();
  std::erase(after, "err.txt");
  EXPECT_EQ(after, before);
}

// Whether the process still catches SIGINT, from what the system shows of
// it: the first Ctrl-C gives the signal back to the system's default.
bool catchesCtrlC(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.starts_with("SigCgt:")) return (std::stoull(line.substr(7), nullptr, 16) >> (SIGINT - 1)) & 1;
  return false;
}

// The first Ctrl-C asks the bake to stop at the end of its frame and clean
// up; a second one, before it has, ends the program there and then.
TEST(Interrupt, ASecondCtrlCEndsTheProgramAtOnce) {
  ScratchFolder folder;
  // A large water with a stone resting in it: every frame adds a wave, so
  // frames take long enough to be caught in the middle of one.
  writeText(folder / "scene.json", R"({
    "water": { "grid": { "sides": 800, "extent": 10.0 } },
    "effectors": [ { "sphere": { "radius": 0.4 }, "location": [0.0, 0.0, 0.0] } ]
  })");
  const pid_t pid = startBake({"--scene", folder / "scene.json", "--end", "5000", "--pc2", folder / "out.pc2"},
                              folder / "err.txt");
  ASSERT_GT(pid, 0);
  const auto running = [&] { return ::waitpid(pid, nullptr, WNOHANG) == 0; };
  // Under way once frames reach the output's temporary file.
  const auto writing = [&] {
    for (const std::string& name : folder.names())
      if (name.starts_with(".rillmark-bake-") && fs::file_size(folder / name) > 0) return true;
    return false;
  };
  while (running() && !writing()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(running());

  ASSERT_EQ(::kill(pid, SIGINT), 0);
  while (running() && catchesCtrlC(pid)) std::this_thread::yield();
  ASSERT_TRUE(running()) << "the first Ctrl-C ended the program before the second came";
  ASSERT_EQ(::kill(pid, SIGINT), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "status " << status;
}

#endif

}  // namespace
}  // namespace bake::testing
