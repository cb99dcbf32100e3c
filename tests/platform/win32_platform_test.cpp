// The Win32 platform's dialogs, for real: a robot thread fills in and
// answers the dialogs this thread opens, and the tests check the text that
// comes back (UTF-8 paths) and what the dialogs showed.
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "commands/preset_commands.h"
#include "dialog_robot.h"

namespace rillmark::testing {
namespace {

namespace fs = std::filesystem;

// UTF-8 as the plug-in carries it, made by the standard library rather
// than by the conversions under test.
std::string bytes(std::u8string_view text) { return std::string(text.begin(), text.end()); }
std::string utf8(const fs::path& path) { return bytes(path.u8string()); }

class Win32Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / "rillmark-dialogs" /
             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }

  // A folder inside the test's own, made on the way.
  fs::path place(const std::u8string& name) {
    const fs::path path = folder / name;
    fs::create_directories(path);
    return path;
  }

  fs::path folder;
  Win32Platform platform;
};

// What a file dialog showed before the robot typed into it.
struct Shown {
  std::vector<std::wstring> fileTypes;
  bool readOnlyBoxShown = true;
};

Shown typeInto(HWND dialog, const fs::path& typed) {
  Shown shown;
  shown.fileTypes = fileTypes(dialog);
  HWND readOnly = GetDlgItem(dialog, chx1);
  shown.readOnlyBoxShown = readOnly != nullptr && IsWindowVisible(readOnly);
  typeFileNameAndPressOk(dialog, typed.wstring());
  return shown;
}

// The open dialog appends the default extension only when a file of that
// name exists (the system's rule), so the file of the third case does.
TEST_F(Win32Dialogs, TypedPathsComeBackAsUtf8WithTheDefaultExtension) {
  std::ofstream(place(u8"\u0412\u043e\u043b\u043d\u044b") / u8"\u0442\u0438\u0445\u043e.rmp") << "0\r\n";
  const struct {
    bool save;
    std::u8string folder, typed, chosen;
  } cases[] = {
      {true, u8"\u20ac \u041f\u0440\u0435\u0441\u0435\u0442\u044b", u8"\u0432\u043e\u043b\u043d\u044b\u2019",
       u8"\u0432\u043e\u043b\u043d\u044b\u2019.rmp"},
      {true, u8"Rick\u2019s", u8"calm \u20ac.rmp", u8"calm \u20ac.rmp"},
      {false, u8"\u0412\u043e\u043b\u043d\u044b", u8"\u0442\u0438\u0445\u043e", u8"\u0442\u0438\u0445\u043e.rmp"},
      {false, u8"\u20ac", u8"\u2019.rmp", u8"\u2019.rmp"},
  };
  for (const auto& c : cases) {
    const fs::path where = place(c.folder);
    SCOPED_TRACE(utf8(where / c.typed));
    Shown shown;
    DialogRobot robot([&](HWND dialog) { shown = typeInto(dialog, where / c.typed); });
    const FileDialogOptions options = c.save ? presetSaveDialog() : presetOpenDialog();
    const std::optional<std::string> path = c.save ? platform.saveFileDialog(options) : platform.openFileDialog(options);
    ASSERT_TRUE(robot.finish());
    EXPECT_EQ(path, utf8(where / c.chosen));
    EXPECT_EQ(shown.fileTypes, std::vector<std::wstring>{L"Rillmark Preset (*.RMP)"});
    EXPECT_FALSE(shown.readOnlyBoxShown);
    EXPECT_TRUE(robot.answeredBoxes().empty());
  }
}

TEST_F(Win32Dialogs, CancelGivesNothing) {
  for (const bool save : {true, false}) {
    DialogRobot robot([](HWND dialog) { press(dialog, IDCANCEL); });
    const std::optional<std::string> path =
        save ? platform.saveFileDialog(presetSaveDialog()) : platform.openFileDialog(presetOpenDialog());
    ASSERT_TRUE(robot.finish()) << (save ? "save" : "open");
    EXPECT_EQ(path, std::nullopt) << (save ? "save" : "open");
  }
}

TEST_F(Win32Dialogs, SavingOverAFileAsksFirstAndOpeningItDoesNot) {
  const fs::path file = place(u8"\u20ac") / u8"\u0441\u0442\u0430\u0440\u044b\u0439.rmp";
  std::ofstream(file) << "old";

  DialogRobot save([&](HWND dialog) { typeInto(dialog, file); });
  EXPECT_EQ(platform.saveFileDialog(presetSaveDialog()), utf8(file));
  ASSERT_TRUE(save.finish());
  ASSERT_EQ(save.answeredBoxes().size(), 1u);
  EXPECT_FALSE(save.answeredBoxes()[0].empty());

  DialogRobot open([&](HWND dialog) { typeInto(dialog, file); });
  EXPECT_EQ(platform.openFileDialog(presetOpenDialog()), utf8(file));
  ASSERT_TRUE(open.finish());
  EXPECT_TRUE(open.answeredBoxes().empty());
}

TEST_F(Win32Dialogs, MessagesShowUtf8AndFallBackToTheAnsiCodePage) {
  const std::string notUtf8 = "Cost: \x80 5, caf\xe9";
  wchar_t ansi[64] = {};
  MultiByteToWideChar(CP_ACP, 0, notUtf8.c_str(), -1, ansi, 64);
  const struct {
    std::string text;
    std::wstring shown;
  } cases[] = {
      {bytes(u8"Cannot create file C:\\\u20ac\\\u041f\u0440\u0435\u0441\u0435\u0442\u044b\\\u2019.rmp"),
       L"Cannot create file C:\\\u20ac\\\u041f\u0440\u0435\u0441\u0435\u0442\u044b\\\u2019.rmp"},
      {notUtf8, ansi},
  };
  for (const auto& c : cases) {
    std::wstring shown;
    DialogRobot robot([&](HWND box) {
      shown = messageText(box);
      press(box, IDOK);
    });
    platform.showMessage(c.text);
    ASSERT_TRUE(robot.finish());
    EXPECT_EQ(shown, c.shown) << c.text;
  }
}

TEST_F(Win32Dialogs, APresetSavesAndLoadsThroughTheRealDialogs) {
  const fs::path where = place(u8"\u20ac \u0412\u043e\u043b\u043d\u044b");
  ParameterSet params;
  params.amplitude.setValue(2.5f);
  params.octaves.setValue(6);
  std::vector<std::string> lines;
  {
    DialogRobot robot([&](HWND dialog) { typeInto(dialog, where / u8"\u0448\u0442\u043e\u0440\u043c\u2019"); });
    btnsaveClick(params, platform, lines);
    ASSERT_TRUE(robot.finish());
  }
  const fs::path saved = where / u8"\u0448\u0442\u043e\u0440\u043c\u2019.rmp";
  EXPECT_TRUE(fs::is_regular_file(saved));

  ParameterSet loaded;
  DialogRobot robot([&](HWND dialog) { typeInto(dialog, saved); });
  btnloadClick(loaded, platform, lines);
  ASSERT_TRUE(robot.finish());
  EXPECT_EQ(loaded.amplitude.Value(), 2.5f);
  EXPECT_EQ(loaded.octaves.Value(), 6.0f);
}

}  // namespace
}  // namespace rillmark::testing
