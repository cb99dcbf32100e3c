// Disk faults the system itself can be made to raise, on Linux: a file size
// limit makes writes fail at any chosen byte, as a full disk does, and a
// folder without write permission refuses the save's own file.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/error.h"
#include "params/preset_file.h"

namespace rillmark {
namespace {

namespace fs = std::filesystem;

constexpr const char* kOldText = "0.5\r\n0.06\r\n";

class PresetFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("rillmark-disk-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    path = (folder / "keep.rmp").string();
    std::ofstream(path, std::ios::binary) << kOldText;
  }
  void TearDown() override {
    fs::permissions(folder, fs::perms::owner_all);
    fs::remove_all(folder);
  }

  std::string bytesOf(const std::string& file) const {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {})); }
  std::string saveError(const std::vector<std::string>& lines) const {
    try {
      writePresetFile(path, lines);
    } catch (const Error& error) {
      return error.what();
    }
    return "";
  }

  fs::path folder;
  std::string path;
};

// RLIMIT_FSIZE: a write past the limit stores what fits and then fails
// with EFBIG, once SIGXFSZ no longer ends the process.
TEST_F(PresetFileOnDisk, WritesThatFailAtEveryByteLeaveTheOldFile) {
  const std::vector<std::string> lines{"12.5", "0.001", "3"};
  rlimit original{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  for (rlim_t limit = 0; limit < 16; ++limit) {
    rlimit small = original;
    small.rlim_cur = limit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = saveError(lines);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &original), 0);
    EXPECT_EQ(error, "Cannot create file " + path) << limit;
    EXPECT_EQ(bytesOf(path), kOldText) << limit;
    EXPECT_EQ(entries(), 1u) << limit;
  }
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(saveError(lines), "");
  EXPECT_EQ(bytesOf(path), "12.5\r\n0.001\r\n3\r\n");
}

// Root writes into any folder, so as root the save runs in a child that has
// given up root for the "nobody" account; the folder is open to everyone
// but for the one permission under test.
TEST_F(PresetFileOnDisk, AFolderWithoutWritePermissionRefusesTheSave) {
  const auto saveAsOrdinaryUser = [&](fs::perms folderPermissions) {
    fs::permissions(folder, folderPermissions);
    if (geteuid() != 0) return saveError({"7"});
    const pid_t child = fork();
    if (child == 0) {
      const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
      _exit(!dropped ? 3 : saveError({"7"}).empty() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 3) return std::string("no child");
    return WEXITSTATUS(status) == 0 ? std::string() : "Cannot create file " + path;
  };
  const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
  EXPECT_EQ(saveAsOrdinaryUser(readOnly), "Cannot create file " + path);
  EXPECT_EQ(bytesOf(path), kOldText);
  EXPECT_EQ(entries(), 1u);
  // The same save goes through once the folder may be written.
  EXPECT_EQ(saveAsOrdinaryUser(fs::perms::all), "");
  EXPECT_EQ(bytesOf(path), "7\r\n");
}

}  // namespace
}  // namespace rillmark
