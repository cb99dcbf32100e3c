// Running the bake program in-process, and a folder of its own per test.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bake_program.h"

namespace bake::testing {

struct BakeRun {
  int status = -1;
  std::string out, err;
};

// A file for the program's standard output or error, in the temporary
// folder (tmpfile() would use the drive's root on Windows). drain() reads
// and removes it.
struct Capture {
  std::filesystem::path path;
  std::FILE* file;
};

inline Capture captureFile() {
  static int count = 0;
  const auto path = std::filesystem::temp_directory_path() / ("rillmark-bake-capture-" + std::to_string(++count) + ".txt");
  return {path, std::fopen(path.string().c_str(), "w+b")};
}

inline std::string drain(const Capture& capture) {
  std::FILE* f = capture.file;
  std::string text;
  std::rewind(f);
  char block[4096];
  for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) text.append(block, n);
  std::fclose(f);
  std::error_code ec;
  std::filesystem::remove(capture.path, ec);
  return text;
}

inline BakeRun runBake(const std::vector<std::string>& args) {
  std::vector<const char*> argv{"rillmark-bake"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  const Capture out = captureFile();
  const Capture err = captureFile();
  BakeRun run;
  run.status = runBakeProgram(static_cast<int>(argv.size()), argv.data(), out.file, err.file);
  run.out = drain(out);
  run.err = drain(err);
  return run;
}

// A fresh, empty folder for one test, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("rillmark-bake-" + std::string(info->test_suite_name()) + "-" + info->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // Every name in the folder, sorted.
  std::vector<std::string> names() const {
    std::vector<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) all.push_back(entry.path().filename().string());
    std::sort(all.begin(), all.end());
    return all;
  }

 private:
  std::filesystem::path path_;
};

inline void writeText(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

}  // namespace bake::testing
