// Ctrl-C reaches the real program while it reads a long OBJ sequence: it
// stops within a second, says so, exits with 130 and leaves nothing of its
// own behind.
#include <gtest/gtest.h>

#include <chrono>
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

TEST(Interrupt, CtrlCWhileReadingStopsTheProgramAndLeavesNothing) {
  ScratchFolder folder;
  writeLongSequence(folder, 400, 150);
  const std::vector<std::string> before = folder.names();

  const std::string log = folder / "err.txt";
  const std::vector<std::string> args = {RILLMARK_BAKE_PROGRAM, "--obj-sequence", folder / "s_####.obj", "--water",
                                         "Water",               "--pc2",          folder / "out.pc2",     "--obj-out",
                                         folder / "objs"};
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);

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

#endif

}  // namespace
}  // namespace bake::testing
