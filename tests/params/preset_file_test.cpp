#include "params/preset_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <streambuf>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "base/error.h"
#include "commands/preset_commands.h"
#include "params/preset_format.h"
#include "platform/headless/headless_platform.h"
#include "support/failing_file_store.h"

namespace rillmark {
namespace {

namespace fs = std::filesystem;
using testing::FailingFileStore;

// A path as the plug-in carries it: UTF-8 text.
std::string utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

TEST(PresetFormat, FloatsAreWrittenWithFifteenDigitsAndTheExponentRule) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.5, "0.5"},
      {50, "50"},
      {0.1f, "0.100000001490116"},
      {0.06f, "0.0599999986588955"},
      {1e20, "1E20"},
      {0, "0"},
      {-0.0, "0"},
      {-2.5, "-2.5"},
      {0.001f, "0.00100000004749745"},
      {0.0001, "0.0001"},       // 0.1 x 10^-3: still fixed
      {1e-4f, "9.99999974737875E-5"},
      {1e-5, "1E-5"},
      {999999999999999.0, "999999999999999"},  // exponent 15: fixed
      {1e15, "1E15"},
      {123456789012345678.0, "1.23456789012346E17"},
      {-1.5e-7, "-1.5E-7"},
      {10000, "10000"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatPresetFloat(c.value, '.'), c.text) << c.value;
  EXPECT_EQ(formatPresetFloat(0.75, ','), "0,75");
  EXPECT_EQ(formatPresetFloat(2.5e-9, ','), "2,5E-9");
}

TEST(PresetFormat, FloatsParseWithTheSeparatorSignAndExponent) {
  EXPECT_EQ(parsePresetFloat("0.5", '.'), 0.5f);
  EXPECT_EQ(parsePresetFloat(" -1.25E2 ", '.'), -125.0f);
  EXPECT_EQ(parsePresetFloat("+3", '.'), 3.0f);
  EXPECT_EQ(parsePresetFloat("0,5", ','), 0.5f);
  EXPECT_EQ(parsePresetFloat(".5", '.'), 0.5f);
  EXPECT_EQ(parsePresetFloat("0.0599999986588955", '.'), 0.06f);
  EXPECT_EQ(parsePresetFloat("1e-50", '.'), 0.0f);
  EXPECT_EQ(parsePresetFloat("0.000000000000000000000000000000000000000000000000001", '.'), 0.0f);
  EXPECT_TRUE(std::isinf(*parsePresetFloat("1E99999999999999", '.')));
  EXPECT_EQ(parsePresetFloat("0e999999", '.'), 0.0f);
  for (const char* bad : {"0,5", "", " ", "abc", "1.2.3", "1e", "e5", "--1", "1 2", "0x10", "nan", "inf", "1.5f",
                          "+-0.5", "-+1", "++1", "+", "-", "1e+-5"})
    EXPECT_FALSE(parsePresetFloat(bad, '.').has_value()) << bad;
}

TEST(PresetFormat, IntegersParseWholeNumbersOnly) {
  EXPECT_EQ(parsePresetInteger("50"), 50);
  EXPECT_EQ(parsePresetInteger("-1"), -1);
  EXPECT_EQ(parsePresetInteger(" +7 "), 7);
  for (const char* bad : {"2.5", "", "1e3", "99999999999", "++1", "4x", "+-5", "-+5", "--5", "+", "-", "+ 5"})
    EXPECT_FALSE(parsePresetInteger(bad).has_value()) << bad;
}

class PresetFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("rillmark-preset-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string file(const std::string& name, const std::string& bytes) {
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Every file of the folder (not below it), by name: its bytes, or
  // "<folder>".
  std::map<std::string, std::string> contents() const {
    std::map<std::string, std::string> all;
    for (const auto& entry : fs::directory_iterator(folder))
      all[entry.path().filename().string()] = entry.is_directory() ? "<folder>" : bytesOf(entry.path().string());
    return all;
  }
  // Saves and gives back the message of the error raised, or "".
  static std::string saveError(const std::string& path, const std::vector<std::string>& lines,
                               FileStore& files = systemFileStore()) {
    try {
      writePresetFile(path, lines, files);
    } catch (const Error& error) {
      return error.what();
    }
    return "";
  }
  // Loads and gives back the message of the error raised, or "".
  std::string load(const std::string& path, char separator = '.') {
    try {
      loadPreset(params, path, separator, lines);
    } catch (const Error& error) {
      return error.what();
    }
    return "";
  }

  fs::path folder;
  ParameterSet params;
  std::vector<std::string> lines;
};

constexpr const char* kStartValueFile =
    "0.5\r\n0.0599999986588955\r\n0.75\r\n0.100000001490116\r\n0.0500000007450581\r\n50\r\n"
    "0.699999988079071\r\n0\r\n1\r\n0\r\n";

TEST_F(PresetFile, SavingTheStartValuesWritesTheTenLines) {
  const std::string path = (folder / "start.rmp").string();
  savePreset(params, path, '.', lines);
  EXPECT_EQ(bytesOf(path), kStartValueFile);
  EXPECT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[1], "0.0599999986588955");
  EXPECT_EQ(contents().size(), 1u) << "nothing left beside it";

  params.lifeSpan.setValue(50.6f);
  params.disturbanceType.setIndex(-1);
  savePreset(params, path, ',', lines);
  EXPECT_EQ(lines[0], "0,5");
  EXPECT_EQ(lines[5], "51");
  EXPECT_EQ(lines[9], "-1");
}

TEST_F(PresetFile, ASavedFileLoadsBackToTheSameValues) {
  ParameterSet changed;
  changed.amplitude.setValue(12.345f);
  changed.wavelength.setValue(0.0001f);
  changed.speed.setValue(99.99f);
  changed.noiseScale.setValue(1234.5f);
  changed.timeScale.setValue(1e-7f);
  changed.octaves.setValue(7);
  changed.disturbanceType.setIndex(5);
  const std::string path = (folder / "round.rmp").string();
  savePreset(changed, path, '.', lines);
  EXPECT_EQ(load(path), "");
  for (auto member : {&ParameterSet::amplitude, &ParameterSet::wavelength, &ParameterSet::speed,
                      &ParameterSet::noiseScale, &ParameterSet::timeScale, &ParameterSet::octaves})
    EXPECT_EQ((params.*member).Value(), (changed.*member).Value()) << (params.*member).caption();
  EXPECT_EQ(params.disturbanceType.index(), 5);
}

TEST_F(PresetFile, LineEndsOfEveryKindLoadAlike) {
  const std::string values[] = {"1", "0.2", "0.3", "0.4", "0.5", "60", "0.7", "0.8", "3", "4"};
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    SCOPED_TRACE(end == "\r" ? "CR" : end == "\n" ? "LF" : "CRLF");
    ParameterSet fresh;
    params.amplitude.setValue(fresh.amplitude.Value());
    std::string text;
    for (const std::string& v : values) text += v + end;
    EXPECT_EQ(load(file("ends.rmp", text + "garbage" + end)), "");
    EXPECT_EQ(params.amplitude.Value(), 1.0f);
    EXPECT_EQ(params.lifeSpan.Value(), 60.0f);
    EXPECT_EQ(params.disturbanceType.index(), 4);
    EXPECT_EQ(lines.size(), 10u);
  }
}

TEST_F(PresetFile, ACommaFileFailsAtLineOneUnderAPointAndChangesNothing) {
  const std::string comma = "0,7\r\n0,1\r\n0,3\r\n0,1\r\n0,01\r\n50\r\n0,7\r\n0\r\n1\r\n0\r\n";
  EXPECT_EQ(load(file("comma.rmp", comma)), "'0,7' is not a valid floating point value");
  EXPECT_EQ(params.amplitude.Value(), 0.5f);
  EXPECT_EQ(load(file("comma.rmp", comma), ','), "");
  EXPECT_EQ(params.amplitude.Value(), 0.7f);
}

TEST_F(PresetFile, MissingLinesFailAfterApplyingThoseThere) {
  EXPECT_EQ(load(file("nine.rmp", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n")), "List index out of bounds (9)");
  EXPECT_EQ(params.amplitude.Value(), 1.0f);
  EXPECT_EQ(params.octaves.Value(), 9.0f);

  ParameterSet fresh;
  params.amplitude.setValue(fresh.amplitude.Value());
  EXPECT_EQ(load(file("empty.rmp", "")), "List index out of bounds (0)");
  EXPECT_EQ(params.amplitude.Value(), 0.5f);
  EXPECT_TRUE(lines.empty());

  // A NUL ends the text.
  EXPECT_EQ(load(file("stops-at-zero.rmp", std::string("2\r\n0.1\r\n\0" "0.3\r\n", 12))), "List index out of bounds (2)");
  EXPECT_EQ(params.amplitude.Value(), 2.0f);
}

TEST_F(PresetFile, BadIntegerLinesAndOutOfRangeValues) {
  for (const std::string lifeSpan : {"2.5", "+-5"}) {
    EXPECT_EQ(load(file("bad.rmp", "1\r\n0.2\r\n0.3\r\n0.4\r\n0.5\r\n" + lifeSpan + "\r\n0.7\r\n0\r\n1\r\n0\r\n")),
              "'" + lifeSpan + "' is not a valid integer value");
    EXPECT_EQ(params.timeDecay.Value(), 0.5f);
    EXPECT_EQ(params.lifeSpan.Value(), 50.0f);
  }

  EXPECT_EQ(load(file("range.rmp", "-3\r\n500\r\n0.3\r\n1e300\r\n0.5\r\n0\r\n0.7\r\n0\r\n20000\r\n9\r\n")), "");
  EXPECT_EQ(params.amplitude.Value(), 0.0f);
  EXPECT_EQ(params.wavelength.Value(), 100.0f);
  EXPECT_EQ(params.decay.Value(), 100.0f);
  EXPECT_EQ(params.lifeSpan.Value(), 1.0f);
  EXPECT_EQ(params.octaves.Value(), 10000.0f);
  EXPECT_EQ(params.disturbanceType.index(), 6);
}

TEST_F(PresetFile, OpenAndCreateFailures) {
  const std::string missing = (folder / "none.rmp").string();
  lines = {"left over"};
  EXPECT_EQ(load(missing), "Cannot open file " + missing);
  EXPECT_TRUE(lines.empty());

  const std::string nowhere = (folder / "no-folder" / "p.rmp").string();
  try {
    savePreset(params, nowhere, '.', lines);
    ADD_FAILURE() << "saved into a folder that does not exist";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + nowhere);
  }
}

// Folders and files named beyond ASCII, as the file dialog gives them:
// every one saves, saves again over itself, and loads back.
TEST_F(PresetFile, NamesBeyondAsciiSaveAndLoad) {
  ParameterSet changed;
  changed.amplitude.setValue(3.25f);
  changed.noiseScale.setValue(0.001f);
  changed.octaves.setValue(4);
  changed.disturbanceType.setIndex(2);
  for (const std::u8string name : {u8"\u20ac", u8"Rick\u2019s waves", u8"\u0412\u043e\u043b\u043d\u044b"}) {
    const fs::path place = folder / name;
    const std::string path = utf8(place / (name + u8" \u20ac\u2019\u0416.rmp"));
    SCOPED_TRACE(path);
    fs::create_directories(place);
    savePreset(params, path, '.', lines);
    savePreset(changed, path, '.', lines);
    params = ParameterSet();
    EXPECT_EQ(load(path), "");
    EXPECT_EQ(params.amplitude.Value(), 3.25f);
    EXPECT_EQ(params.noiseScale.Value(), 0.001f);
    EXPECT_EQ(params.octaves.Value(), 4.0f);
    EXPECT_EQ(params.disturbanceType.index(), 2);
    // The one file saved, and nothing left beside it.
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(place)) files.push_back(utf8(entry.path()));
    EXPECT_EQ(files, std::vector<std::string>{path});
  }

  const std::string nowhere = utf8(folder / u8"\u041d\u0435\u0442" / u8"\u20ac.rmp");
  EXPECT_EQ(load(nowhere), "Cannot open file " + nowhere);
  try {
    savePreset(params, nowhere, '.', lines);
    ADD_FAILURE() << "saved into a folder that does not exist";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + nowhere);
  }

  // Bytes that are not UTF-8 name a file on Linux but none on Windows;
  // either way no other kind of error escapes.
  const std::string odd = utf8(folder / "odd") + "\xff.rmp";
  try {
    savePreset(params, odd, '.', lines);
    EXPECT_EQ(load(odd), "");
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + odd);
    EXPECT_EQ(load(odd), "Cannot open file " + odd);
  }
}

// What a failed save must leave behind: the old file byte for byte, the
// user's other files as they were, and no file of its own.
TEST_F(PresetFile, ASaveThatFailsAtAnyStepLeavesTheFolderAsItWas) {
  const std::string path = file("keep.rmp", kStartValueFile);
  // Names a save might once have used for its own work.
  file("keep.rmp.partial", "the user's own");
  file("keep.rmp.tmp", "the user's too");
  const auto before = contents();
  params.amplitude.setValue(9);
  const std::vector<std::string> newLines = presetLines(params, '.');

  FailingFileStore clean;
  writePresetFile(path, newLines, clean);
  const std::string saved = bytesOf(path);
  EXPECT_EQ(saved.substr(0, 3), "9\r\n");
  const int steps = clean.operations;
  file("keep.rmp", kStartValueFile);
  ASSERT_EQ(contents(), before);

  const auto expectUntouched = [&](FailingFileStore& store, const std::string& fault) {
    EXPECT_EQ(saveError(path, newLines, store), "Cannot create file " + path) << fault;
    EXPECT_EQ(contents(), before) << fault;
  };
  for (int step = 1; step <= steps; ++step) {
    const std::string& operation = clean.log[static_cast<std::size_t>(step) - 1];
    FailingFileStore store;
    store.failAt = step;
    if (operation.starts_with("create")) {
      // A name that cannot be had is given up for another.
      EXPECT_EQ(saveError(path, newLines, store), "");
      auto after = contents();
      EXPECT_EQ(after["keep.rmp"], saved);
      after["keep.rmp"] = kStartValueFile;
      EXPECT_EQ(after, before) << "nothing left beside it";
      file("keep.rmp", kStartValueFile);
      continue;
    }
    expectUntouched(store, "failing " + operation);
  }
  FailingFileStore readOnlyFolder;
  readOnlyFolder.createsFail = true;
  expectUntouched(readOnlyFolder, "no file can be made");
  for (std::size_t offset = 0; offset < saved.size(); ++offset) {
    FailingFileStore store;
    store.diskFullAt = offset;
    expectUntouched(store, "disk full at byte " + std::to_string(offset));
  }
  // Should the clean-up fail as well, the one trace is a file of our own.
  FailingFileStore stuck;
  stuck.failAt = steps;
  stuck.removesFail = true;
  EXPECT_EQ(saveError(path, newLines, stuck), "Cannot create file " + path);
  EXPECT_EQ(bytesOf(path), kStartValueFile);
  auto after = contents();
  ASSERT_EQ(stuck.created.size(), 1u);
  EXPECT_EQ(after.erase(fs::path(stuck.created[0]).filename().string()), 1u);
  EXPECT_EQ(after, before);
}

// The save's own file is made under a name nothing has yet; a user's file
// that happens to bear the name it picks is never opened or removed.
TEST_F(PresetFile, AUserFileUnderTheNameTheSavePicksIsLeftAlone) {
  const std::string path = file("keep.rmp", kStartValueFile);
  for (const bool failLater : {false, true}) {
    SCOPED_TRACE(failLater ? "save fails" : "save succeeds");
    FailingFileStore store;
    std::string taken;
    store.beforeCreate = [&](const std::string& name) {
      if (!taken.empty()) return;
      taken = name;
      file(fs::path(name).filename().string(), "the user's own");
    };
    store.failAt = failLater ? 3 : 0;  // the first write, after a refused and a granted creation
    const std::string error = saveError(path, {"1"}, store);
    EXPECT_EQ(error, failLater ? "Cannot create file " + path : "");
    EXPECT_EQ(bytesOf(taken), "the user's own");
    EXPECT_EQ(bytesOf(path), failLater ? kStartValueFile : "1\r\n");
    EXPECT_EQ(contents().size(), 2u);
    fs::remove(taken);
    file("keep.rmp", kStartValueFile);
  }
}

TEST_F(PresetFile, AReadOnlyFileOrAFolderAtThePathIsNotReplaced) {
  const std::string locked = file("locked.rmp", kStartValueFile);
  constexpr auto kWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(locked, kWrite, fs::perm_options::remove);
  EXPECT_EQ(saveError(locked, {"1"}), "Cannot create file " + locked);
  fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(bytesOf(locked), kStartValueFile);

  const std::string inTheWay = (folder / "folder.rmp").string();
  fs::create_directories(inTheWay);
  file("folder.rmp/inside.rmp", "kept");
  EXPECT_EQ(saveError(inTheWay, {"1"}), "Cannot create file " + inTheWay);
  EXPECT_TRUE(fs::is_directory(inTheWay));
  EXPECT_EQ(bytesOf(inTheWay + "/inside.rmp"), "kept");
  EXPECT_EQ(contents().size(), 2u) << "nothing left beside them";
}

// An endless-looking stream of one character: a loader that read it whole
// would need a gigabyte.
class RepeatingBuffer : public std::streambuf {
 public:
  RepeatingBuffer(std::string head, char fill, std::size_t total) : head_(std::move(head)), fill_(fill), left_(total) {}

 protected:
  int_type underflow() override {
    if (left_ == 0) return traits_type::eof();
    std::size_t n = 0;
    for (; n < head_.size() - std::min(consumed_, head_.size()) && n < sizeof block_; ++n)
      block_[n] = head_[consumed_ + n];
    for (; n < sizeof block_ && n < left_; ++n) block_[n] = fill_;
    consumed_ += n;
    left_ -= std::min(left_, n);
    served_ += n;
    setg(block_, block_, block_ + n);
    return traits_type::to_int_type(block_[0]);
  }

 public:
  std::size_t served_ = 0;

 private:
  std::string head_;
  char fill_;
  std::size_t left_;
  std::size_t consumed_ = 0;
  char block_[65536];
};

TEST_F(PresetFile, AGigabyteFileIsReadOnlyAsFarAsItsTenthLine) {
  constexpr std::size_t kGiB = std::size_t{1} << 30;
  RepeatingBuffer tenLinesThenJunk(kStartValueFile, 'x', kGiB);
  std::istream first(&tenLinesThenJunk);
  EXPECT_EQ(readPresetLines(first, kPresetLineCount).size(), 10u);
  EXPECT_LT(tenLinesThenJunk.served_, 1u << 20);

  RepeatingBuffer oneHugeLine("0.5\r\n", '7', kGiB);
  std::istream second(&oneHugeLine);
  const std::vector<std::string> read = readPresetLines(second, kPresetLineCount);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_LE(read[1].size(), kMaxPresetLineLength + 16);
  EXPECT_LT(oneHugeLine.served_, 1u << 20);
  try {
    applyPresetLines(params, read, '.');
    ADD_FAILURE();
  } catch (const Error& error) {
    const std::string message = error.what();
    EXPECT_EQ(message.substr(message.size() - 49), "777777...,,,' is not a valid floating point value");
  }
  EXPECT_EQ(params.amplitude.Value(), 0.5f);
}

TEST_F(PresetFile, ASparseGigabyteFileLoads) {
  const std::string path = file("sparse.rmp", kStartValueFile);
  fs::resize_file(path, std::uintmax_t{1} << 30);
  params.amplitude.setValue(3);
  EXPECT_EQ(load(path), "");
  EXPECT_EQ(params.amplitude.Value(), 0.5f);
}

TEST_F(PresetFile, DialogsUseTheFilterAndExtension) {
  HeadlessPlatform platform;

  lines = {"kept"};
  btnsaveClick(params, platform, lines);  // cancelled: nothing happens
  btnloadClick(params, platform, lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"kept"}));
  ASSERT_EQ(platform.fileDialogs.size(), 2u);
  EXPECT_EQ(platform.fileDialogs[0].filter, "Rillmark Preset (*.RMP)|*.rmp");
  EXPECT_EQ(platform.fileDialogs[0].defaultExtension, "rmp");
  EXPECT_TRUE(platform.fileDialogs[0].promptOverwrite);
  EXPECT_TRUE(platform.fileDialogs[0].hideReadOnly);
  EXPECT_FALSE(platform.fileDialogs[1].promptOverwrite);
  EXPECT_TRUE(platform.fileDialogs[1].hideReadOnly);
  EXPECT_FALSE(platform.fileDialogs[1].fileMustExist);

  platform.chosenFile = (folder / "chosen.rmp").string();
  btnsaveClick(params, platform, lines);
  EXPECT_EQ(bytesOf(*platform.chosenFile), kStartValueFile);
}


#ifndef _WIN32
// Disk faults Linux itself can be made to raise. RLIMIT_FSIZE: a write past
// the limit stores what fits and then fails with EFBIG, as on a full disk,
// once SIGXFSZ no longer ends the process.
TEST_F(PresetFile, RealWritesThatFailAtEveryByteLeaveTheOldFile) {
  constexpr const char* kOldText = "0.5\r\n0.06\r\n";
  const std::string path = file("keep.rmp", kOldText);
  const std::vector<std::string> lines{"12.5", "0.001", "3"};
  rlimit original{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &original), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  for (rlim_t limit = 0; limit < 16; ++limit) {
    rlimit small = original;
    small.rlim_cur = limit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = saveError(path, lines);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &original), 0);
    EXPECT_EQ(error, "Cannot create file " + path) << limit;
    EXPECT_EQ(contents(), (std::map<std::string, std::string>{{"keep.rmp", kOldText}})) << limit;
  }
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(saveError(path, lines), "");
  EXPECT_EQ(bytesOf(path), "12.5\r\n0.001\r\n3\r\n");
}

// Root writes into any folder, so as root the save runs in a child that has
// given up root for the "nobody" account; the folder is open to everyone
// but for the one permission under test.
TEST_F(PresetFile, AFolderWithoutWritePermissionRefusesTheSave) {
  const std::string path = file("keep.rmp", kStartValueFile);
  const auto saveAsOrdinaryUser = [&](fs::perms folderPermissions) {
    fs::permissions(folder, folderPermissions);
    if (geteuid() != 0) return saveError(path, {"7"});
    const pid_t child = fork();
    if (child == 0) {
      const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
      _exit(!dropped ? 3 : saveError(path, {"7"}).empty() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 3) return std::string("no child");
    return WEXITSTATUS(status) == 0 ? std::string() : "Cannot create file " + path;
  };
  const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
  EXPECT_EQ(saveAsOrdinaryUser(readOnly), "Cannot create file " + path);
  EXPECT_EQ(contents(), (std::map<std::string, std::string>{{"keep.rmp", kStartValueFile}}));
  // The same save goes through once the folder may be written.
  EXPECT_EQ(saveAsOrdinaryUser(fs::perms::all), "");
  EXPECT_EQ(bytesOf(path), "7\r\n");
}
#endif

}  // namespace
}  // namespace rillmark
