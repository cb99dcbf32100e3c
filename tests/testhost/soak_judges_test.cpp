// The soak's judges. If one of them says yes too easily, the soak cannot
// fail on the fault it is there to catch; too strictly, and it fails on
// Wine's or the heap's noise.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "soak_margins.h"
#include "soak_presets.h"

namespace soak = rillmark::testhost::soak;

namespace {

constexpr std::size_t kLines = 10;

std::string preset(const std::string& choice = "3") {
  std::string text;
  for (std::size_t i = 1; i < kLines; ++i) text += "0.25\r\n";
  return text + choice + "\r\n";
}

TEST(SoakJudges, OnlyAFinishedSaveIsACompletePreset) {
  EXPECT_TRUE(soak::isCompletePreset(preset(), kLines));
  EXPECT_TRUE(soak::isCompletePreset(preset("12"), kLines));
  const std::string full = preset();
  const struct {
    const char* what;
    std::string text;
    std::size_t lines;
  } partial[] = {
      {"empty", "", kLines},
      {"no lines expected", full, 0},
      {"last line end missing", full.substr(0, full.size() - 2), kLines},
      {"last line cut after CR", full.substr(0, full.size() - 1), kLines},
      {"a line short", full.substr(full.find("\r\n") + 2), kLines},
      {"a line too many", "0.25\r\n" + full, kLines},
      {"an empty line", "\r\n" + full.substr(full.find("\r\n") + 2), kLines},
      {"choice not a number", preset("x"), kLines},
      {"choice empty", preset(""), kLines},
      {"LF line ends", std::string(kLines, '\n'), kLines},
  };
  for (const auto& p : partial) EXPECT_FALSE(soak::isCompletePreset(p.text, p.lines)) << p.what;
}

TEST(SoakJudges, TheBaselineComesAfterAMinuteOrAThirdOfAShorterSoak) {
  EXPECT_EQ(soak::baselineAfterMs(60), 20000u);
  EXPECT_EQ(soak::baselineAfterMs(180), soak::kBaselineLatestMs);
  EXPECT_EQ(soak::baselineAfterMs(1800), soak::kBaselineLatestMs);
}

soak::Measurement baseline() {
  soak::Measurement m;
  m.process.windows = 110;
  m.process.threads = 5;
  m.process.probedHandles = 67;
  m.process.fileDialogMruKeys = 7;
  m.process.committedPrivate = 40 << 20;
  m.process.heapBytes = 6 << 20;
  m.pluginGdiObjects = 36;
  m.sceneNodes = 9;
  m.fileNamesGiven = 7;
  return m;
}

// Each margin holds at its edge, breaks one past it, and every broken
// margin is reported, not only the first.
TEST(SoakJudges, ResourcesMayGrowUpToTheirMarginsAndEveryExcessIsReported) {
  const soak::Measurement before = baseline();
  soak::Measurement edge = before;
  edge.process.threads += soak::kThreadMargin;
  edge.process.committedPrivate += soak::kCommittedMargin;
  edge.process.heapBytes += soak::kHeapMargin;
  edge.fileNamesGiven += 50;  // Wine keeps a key per name; they sit beside the handle margin
  edge.process.fileDialogMruKeys += 50;
  edge.process.probedHandles += 50 + soak::kHandleMargin;
  EXPECT_EQ(soak::resourceProblems(before, edge), "");

  const struct {
    const char* expected;
    void (*grow)(soak::Measurement&);
  } excesses[] = {
      {"windows", [](soak::Measurement& m) { ++m.process.windows; }},
      {"threads", [](soak::Measurement& m) { ++m.process.threads; }},
      {"the plug-in's GDI objects", [](soak::Measurement& m) { --m.pluginGdiObjects; }},
      {"scene nodes", [](soak::Measurement& m) { ++m.sceneNodes; }},
      {"USER objects", [](soak::Measurement& m) { ++m.process.userObjects; }},
      {"handles (probed)", [](soak::Measurement& m) { ++m.process.probedHandles; }},
      {"Wine's file dialog keys grew by 51",
       [](soak::Measurement& m) {
         ++m.process.fileDialogMruKeys;
         ++m.process.probedHandles;
       }},
      {"committed memory grew", [](soak::Measurement& m) { ++m.process.committedPrivate; }},
      {"heap memory in use grew", [](soak::Measurement& m) { ++m.process.heapBytes; }},
  };
  soak::Measurement everything = edge;
  for (const auto& excess : excesses) {
    soak::Measurement after = edge;
    excess.grow(after);
    excess.grow(everything);
    EXPECT_NE(soak::resourceProblems(before, after).find(excess.expected), std::string::npos) << excess.expected;
  }
  const std::string all = soak::resourceProblems(before, everything);
  for (const auto& excess : excesses) EXPECT_NE(all.find(excess.expected), std::string::npos) << excess.expected;
}

class PresetWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + L"soak-watch-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    ASSERT_TRUE(soak::writeFile(path_, old_));
  }
  void TearDown() override { DeleteFileW(path_.c_str()); }

  // Lets the watcher read the file as it is now: two reads, so that one
  // began after the last change. A watcher that found a fault stops
  // reading, and then this waits its second out.
  static void letItRead(const soak::PresetWatcher& watcher) {
    const long long seen = watcher.reads();
    for (int i = 0; i < 1000 && watcher.reads() < seen + 2; ++i) Sleep(1);
  }

  // The watcher holds the file open while it reads it, and a write that
  // wants the file to itself fails meanwhile, so a change is retried; on a
  // loaded machine one read can take a good while.
  template <class Change>
  static bool retried(Change change) {
    const ULONGLONG deadline = GetTickCount64() + 5000;
    do {
      if (change()) return true;
      Sleep(1);
    } while (GetTickCount64() < deadline);
    return false;
  }

  // Replaces the file at once, as a save does, so no reader sees it half written.
  bool replace(const std::string& content) {
    const std::wstring temporary = path_ + L".new";
    return soak::writeFile(temporary, content) && retried([&] {
             return MoveFileExW(temporary.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
           });
  }

  std::wstring path_;
  const std::string old_ = preset("1");
};

TEST_F(PresetWatcherTest, AcceptsTheOldAndACompleteNewFile) {
  soak::PresetWatcher watcher(path_, true, old_, true, kLines);
  letItRead(watcher);
  ASSERT_TRUE(replace(preset("2")));
  letItRead(watcher);
  EXPECT_EQ(watcher.finish(), "");
  EXPECT_GT(watcher.reads(), 0);
}

TEST_F(PresetWatcherTest, CatchesAFileHalfWrittenGoneOrWrittenByALoad) {
  const std::string half = preset("2").substr(0, 20);
  const struct {
    const char* what;
    bool saving;
    bool remove;
    std::string content;
    const char* expected;
  } faults[] = {
      {"half written", true, false, half, "neither its old content nor a complete preset"},
      {"gone", true, true, "", "the file was gone"},
      {"changed by a load", false, false, preset("2"), "neither its old content nor a complete preset"},
  };
  for (const auto& fault : faults) {
    ASSERT_TRUE(soak::writeFile(path_, old_));
    soak::PresetWatcher watcher(path_, true, old_, fault.saving, kLines);
    letItRead(watcher);
    ASSERT_TRUE(retried([&] {
      return fault.remove ? DeleteFileW(path_.c_str()) != 0 : soak::writeFile(path_, fault.content);
    }));
    letItRead(watcher);
    EXPECT_NE(watcher.finish().find(fault.expected), std::string::npos) << fault.what;
  }
}

}  // namespace
