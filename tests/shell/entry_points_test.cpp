#include "shell/entry_points.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>

#include "base/float_control.h"
#include "refhost/host_exports.h"
#include "shell/rillmark_hooks.h"
#include "shell_fixture.h"
#include "support/trapping_float_settings.h"

namespace rillmark {
namespace {

using testing::kMainView;

// A host record the plug-in may write into, pre-filled so that untouched
// bytes can be told from written ones.
struct Record {
  Record() { bytes.fill(0xCC); }
  std::string text(std::size_t offset) const { return reinterpret_cast<const char*>(bytes.data() + offset); }
  std::array<unsigned char, 100> bytes;
};

class EntryPoints : public testing::ShellFixture {};

TEST_F(EntryPoints, GetDataBindsAndDescribesThePlugin) {
  Record record;
  EXPECT_EQ(GetDataEntry(loader, record.bytes.data(), 77), 0);
  EXPECT_EQ(record.text(0), "Rillmark");
  EXPECT_EQ(record.text(32), "Rillmark developers");
  EXPECT_EQ(record.bytes[96] | record.bytes[97] << 8, 2);
  EXPECT_EQ(record.bytes[98] | record.bytes[99] << 8, 2);
  EXPECT_EQ(PluginHost->PluginId, 77);
  EXPECT_EQ(hostApiLevel(), 430);
  EXPECT_EQ(loader.references, 1);
  EXPECT_TRUE(loader.messages.empty());
}

TEST_F(EntryPoints, ANameOver31CharactersIsCutInTheHostObjectToo) {
  const std::string longName(40, 'N');
  PluginHost->OnGetData = [](int& result) {
    PluginHost->Name = std::string(40, 'N');
    PluginHost->Author = std::string(70, 'A');
    result = 5;
  };
  Record record;
  EXPECT_EQ(GetDataEntry(loader, record.bytes.data(), 1), 5);
  EXPECT_EQ(record.text(0), longName.substr(0, 31));
  EXPECT_EQ(record.text(32), std::string(63, 'A'));
  EXPECT_EQ(PluginHost->Name, longName.substr(0, 31));
  EXPECT_EQ(PluginHost->Author.size(), 63u);
}

TEST_F(EntryPoints, AHostLibraryThatWillNotLoadShowsAnEmptyPluginName) {
  loader.failLoad = true;
  Record record;
  const Record before = record;
  EXPECT_EQ(GetDataEntry(loader, record.bytes.data(), 1), -1);
  ASSERT_EQ(loader.messages.size(), 1u);
  EXPECT_EQ(loader.messages[0],
            "Unhandled exception in \"\" tSX plugin.\r\nThe exception is classified as: \r\n\r\n"
            "Exception : Error 126 initializing tsx API in Plugin: The specified module could not be found");
  EXPECT_EQ(record.bytes, before.bytes);

  // Once the host library is there, the same plug-in binds normally.
  loader.failLoad = false;
  EXPECT_EQ(GetDataEntry(loader, record.bytes.data(), 1), 0);
  EXPECT_EQ(loader.messages.size(), 1u);
}

TEST_F(EntryPoints, AHostBelow320GetsTheVersionMessageAndIsReleased) {
  const struct {
    short version;
    const char* message;
  } cases[] = {
      {310, "This Plugin requires trueSpace version  3.20, but version  3.10 is installed."},
      {300, "This Plugin requires trueSpace version  3.20, but version  3.00 is installed."},
  };
  for (const auto& c : cases) {
    loader.messages.clear();
    refhost::setVersion(c.version, 0);
    Record record;
    const Record before = record;
    EXPECT_EQ(GetDataEntry(loader, record.bytes.data(), 9), -1) << c.version;
    ASSERT_EQ(loader.messages.size(), 1u);
    EXPECT_EQ(loader.messages[0], c.message);
    EXPECT_EQ(record.bytes, before.bytes) << "the description is not written";
    EXPECT_EQ(PluginHost->PluginId, 0) << "the hook does not run";
    EXPECT_EQ(loader.references, 0);
    EXPECT_FALSE(hostLibraryHeld());
  }
  // An incomplete first family binds to level 0.
  loader.messages.clear();
  refhost::setVersion(430, 0);
  refhost::hideExport("tsxAViewGetHwnd");
  Record record;
  EXPECT_EQ(GetDataEntry(loader, record.bytes.data(), 9), -1);
  ASSERT_EQ(loader.messages.size(), 1u);
  EXPECT_EQ(loader.messages[0], "This Plugin requires trueSpace version  3.20, but version  0.00 is installed.");
  EXPECT_EQ(loader.references, 0);
}

TEST_F(EntryPoints, ASecondGetDataBindsAgainAndRewritesTheDescription) {
  Record first;
  Record second;
  EXPECT_EQ(GetDataEntry(loader, first.bytes.data(), 1), 0);
  second.bytes[0] = 'x';
  EXPECT_EQ(GetDataEntry(loader, second.bytes.data(), 2), 0);
  EXPECT_EQ(second.text(0), "Rillmark");
  EXPECT_EQ(PluginHost->PluginId, 2);
  EXPECT_EQ(loader.loads, 2);
  EXPECT_EQ(loader.frees, 1);
  EXPECT_EQ(loader.references, 1);
}

TEST_F(EntryPoints, TwoClicksListThePanelTwiceAndUnloadDestroysItOnce) {
  Record record;
  GetDataEntry(loader, record.bytes.data(), 1);
  EXPECT_EQ(LeftClickEntry(loader), 0);
  TForm1* const panel = Form1;
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(LeftClickEntry(loader), 0);
  EXPECT_EQ(Form1, panel);

  ASSERT_EQ(PluginHost->Forms.size(), 2u);
  for (const PluginFormEntry& entry : PluginHost->Forms) {
    EXPECT_EQ(entry.form, panel);
    EXPECT_EQ(entry.name, "Form1");
  }
  ASSERT_EQ(windows().live.size(), 1u);
  const auto* window = panelWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->visible());
  EXPECT_EQ(window->frontCount(), 2);
  EXPECT_EQ(window->params().parentWindow, kMainView);

  EXPECT_TRUE(LibraryNotify(loader, kProcessDetach));
  EXPECT_EQ(windows().created, std::vector<int>{1});
  EXPECT_EQ(windows().destroyed, std::vector<int>{1});
  EXPECT_EQ(Form1, nullptr);
  EXPECT_EQ(PluginHost, nullptr);
  EXPECT_EQ(loader.references, 0) << "the detach releases the host library";
}

TEST_F(EntryPoints, UnloadingDeletesThePluginsCopiesOfTheWaterAndNothingElse) {
  Record record;
  GetDataEntry(loader, record.bytes.data(), 1);
  const HostHandle water = refhost::addGrid("Water", 3, 3, 1, 1, 0);
  HostHandle snapshot = nullptr, rest = nullptr;
  tsxGNodeCopy(water, &snapshot);
  tsxGNodeCopy(water, &rest);
  ModuleSimulation().WaterObject = water;
  ModuleSimulation().WaterSnapshot = snapshot;
  ModuleSimulation().WaterRestCopy = rest;
  EXPECT_TRUE(LibraryNotify(loader, kProcessDetach));
  EXPECT_FALSE(refhost::isLive(snapshot));
  EXPECT_FALSE(refhost::isLive(rest));
  EXPECT_TRUE(refhost::inScene(water));
  ModuleSimulation() = SimulationState{};
}

TEST_F(EntryPoints, ClosingThePanelFreesItAndTheNextClickBuildsANewOne) {
  Record record;
  GetDataEntry(loader, record.bytes.data(), 1);
  LeftClickEntry(loader);
  Form1->close();
  EXPECT_EQ(Form1, nullptr);
  EXPECT_EQ(windows().destroyed, std::vector<int>{1});

  LeftClickEntry(loader);
  ASSERT_NE(Form1, nullptr);
  EXPECT_EQ(PluginHost->Forms.size(), 2u);
  EXPECT_TRUE(PluginHost->Forms[0].alive.expired());
  EXPECT_EQ(windows().created, (std::vector<int>{1, 2}));

  LibraryNotify(loader, kProcessDetach);
  EXPECT_EQ(windows().destroyed, (std::vector<int>{1, 2})) << "only the second panel is destroyed by the unload";
  EXPECT_TRUE(windows().live.empty());
}

TEST_F(EntryPoints, RightClickAndDeactivateLeaveThePanelAsItIs) {
  Record record;
  GetDataEntry(loader, record.bytes.data(), 1);
  LeftClickEntry(loader);
  RightClickEntry(loader);
  DeactivateEntry(loader);
  ASSERT_NE(panelWindow(), nullptr);
  EXPECT_TRUE(panelWindow()->visible());
  EXPECT_EQ(PluginHost->Forms.size(), 1u);
  EXPECT_TRUE(loader.messages.empty());
}

// Whatever a hook throws stays inside the plug-in: it is shown with the
// plug-in's name, and the exports with a result answer -1.
TEST_F(EntryPoints, NothingThrownEscapesAnExport) {
  Record record;
  GetDataEntry(loader, record.bytes.data(), 1);
  const std::string lead = "Unhandled exception in \"Rillmark\" tSX plugin.\r\nThe exception is classified as: \r\n\r\n";
  const struct {
    const char* what;
    std::function<void()> raise;
    std::string shown;
  } errors[] = {
      {"general error", [] { throw Error("boom"); }, "Exception : boom"},
      {"own error class", [] { throw EtsxFunctionNotFound("missing"); }, "EtsxFunctionNotFound : missing"},
      {"standard exception", [] { throw std::out_of_range("index"); }, "Exception : index"},
      {"anything else", [] { throw 42; }, "Exception : An unknown error occurred"},
  };
  for (const auto& e : errors) {
    SCOPED_TRACE(e.what);
    PluginHost->OnLeftClick = [&](int& result) {
      result = 7;
      e.raise();
    };
    PluginHost->OnRightClick = [&](TtSXPluginHost&) { e.raise(); };
    PluginHost->OnDeactivate = [&](TtSXPluginHost&) { e.raise(); };
    loader.messages.clear();
    EXPECT_EQ(LeftClickEntry(loader), -1);
    RightClickEntry(loader);
    DeactivateEntry(loader);
    EXPECT_EQ(loader.messages, std::vector<std::string>(3, lead + e.shown));

    PluginHost->OnGetData = [&](int&) { e.raise(); };
    loader.messages.clear();
    EXPECT_EQ(GetDataEntry(loader, record.bytes.data(), 1), -1);
    EXPECT_EQ(loader.messages, std::vector<std::string>{lead + e.shown});
  }
}

// A host may call with traps unmasked: every entry computes under the
// plug-in's settings, and the host gets its own back with no flag of the
// plug-in's arithmetic standing.
TEST_F(EntryPoints, EveryEntryRunsUnderThePluginsFloatSettingsAndHandsTheHostsBack) {
  if (!testing::kHasFloatControl) GTEST_SKIP() << "no x87/SSE control words on this processor";
  std::uint32_t seenInside = 0;
  auto overflow = [&] {
    seenInside = currentSseControlWord();
    volatile float big = 3e38f;
    volatile long double huge = 1e4000L;
    big = big * big;
    huge = huge * huge;
  };
  PluginHost->OnGetData = [&](int&) { overflow(); };
  PluginHost->OnLeftClick = [&](int&) { overflow(); };
  PluginHost->OnRightClick = [&](TtSXPluginHost&) { overflow(); };
  PluginHost->OnDeactivate = [&](TtSXPluginHost&) { overflow(); };
  PluginHost->OnProcessDetach = [&](TtSXPluginHost&) { overflow(); };
  Record record;
  const struct {
    const char* entry;
    std::function<void()> call;
  } entries[] = {
      {"tsxGetData", [&] { GetDataEntry(loader, record.bytes.data(), 1); }},
      {"tsxOnLeftClick", [&] { LeftClickEntry(loader); }},
      {"tsxOnRightClick", [&] { RightClickEntry(loader); }},
      {"tsxDeactivate", [&] { DeactivateEntry(loader); }},
      {"process detach", [&] { LibraryNotify(loader, kProcessDetach); }},
  };
  for (const auto& e : entries) {
    seenInside = 0;
    std::uint16_t x87After = 0, flagsAfter = 0;
    std::uint32_t sseAfter = 0;
    {
      const testing::TrappingHostSettings host;
      e.call();
      x87After = currentFloatControlWord();
      flagsAfter = currentFloatStatusWord() & testing::kX87FlagBits;
      sseAfter = currentSseControlWord();
    }
    EXPECT_EQ(seenInside, kSseControlWord) << e.entry;
    EXPECT_EQ(x87After, testing::kTrappingX87Control) << e.entry;
    EXPECT_EQ(flagsAfter, testing::kHostX87Flags) << e.entry;
    EXPECT_EQ(sseAfter, testing::kTrappingSse) << e.entry;
  }
  EXPECT_TRUE(loader.messages.empty());
}

TEST_F(EntryPoints, ANullDescriptionIsRefusedNotWritten) {
  EXPECT_EQ(GetDataEntry(loader, nullptr, 1), -1);
  ASSERT_EQ(loader.messages.size(), 1u);
  EXPECT_NE(loader.messages[0].find("no description record"), std::string::npos);
}

TEST_F(EntryPoints, AtProcessExitNeitherWindowsNorTheHostLibraryAreTouched) {
  Record record;
  GetDataEntry(loader, record.bytes.data(), 1);
  LeftClickEntry(loader);
  TForm1* const panel = Form1;
  const int freesBefore = loader.frees;

  EXPECT_TRUE(LibraryNotify(loader, kProcessDetach, /*processExit=*/true));
  EXPECT_EQ(PluginHost, nullptr);
  EXPECT_EQ(loader.frees, freesBefore);
  EXPECT_TRUE(windows().destroyed.empty());
  EXPECT_EQ(Form1, panel);

  delete panel;  // what the process end would have swept away
  ReleaseHostApi(loader);
}

TEST_F(EntryPoints, AFailedDetachIsReportedAndKeepsTheHostObject) {
  PluginHost->Name = "Rillmark";
  PluginHost->OnProcessDetach = [](TtSXPluginHost&) { throw Error("stuck"); };
  EXPECT_FALSE(LibraryNotify(loader, kProcessDetach));
  ASSERT_EQ(loader.messages.size(), 1u);
  EXPECT_EQ(loader.messages[0],
            "Exception occurred in \"Rillmark\" tSX plugin while detaching the process.\r\n"
            "The exception is classified as: \r\n\r\nException : stuck");
  EXPECT_NE(PluginHost, nullptr);
}

TEST_F(EntryPoints, OtherNotificationsRunTheirHooksInsideTheirBoundaries) {
  const struct {
    int reason;
    HostHook TtSXPluginHost::*hook;
    const char* context;
  } cases[] = {
      {kProcessAttach, &TtSXPluginHost::OnProcessAttach, "while attaching the process."},
      {kThreadAttach, &TtSXPluginHost::OnThreadAttach, "while attaching a thread."},
      {kThreadDetach, &TtSXPluginHost::OnThreadDetach, "while detaching a thread."},
  };
  for (const auto& c : cases) {
    loader.messages.clear();
    (PluginHost->*c.hook) = [](TtSXPluginHost&) { throw Error("x"); };
    EXPECT_FALSE(LibraryNotify(loader, c.reason));
    ASSERT_EQ(loader.messages.size(), 1u);
    EXPECT_NE(loader.messages[0].find(std::string("\"\" tSX plugin ") + c.context), std::string::npos)
        << loader.messages[0];
  }
  EXPECT_TRUE(LibraryNotify(loader, 42));  // unknown reasons: nothing
}

}  // namespace
}  // namespace rillmark
