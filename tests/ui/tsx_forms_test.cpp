#include "ui/tsx_forms.h"

#include <gtest/gtest.h>

#include "platform/file_filter.h"
#include "platform/headless/headless_platform.h"
#include "ui/control_panel.h"
#include "ui/headless/headless_backend.h"
#include "ui/toolkit/window_styles.h"

namespace rillmark {
namespace {

using namespace ui;

void* const kOwner = reinterpret_cast<void*>(0x1234);

// The panel needs a platform for its commands.
struct ActivePlatform {
  ActivePlatform() { setActivePlatform(&platform); }
  ~ActivePlatform() { setActivePlatform(nullptr); }
  HeadlessPlatform platform;
};

TEST(TsxForms, ThePanelIsAnOwnedToolWindowWithItsDesignedFrame) {
  const ActivePlatform platform;
  TForm1 panel(kOwner);
  CreateParams params;
  panel.createParams(params);
  EXPECT_EQ(params.exStyle, 0x10080u);
  EXPECT_EQ(params.style & kWsChild, 0u);
  EXPECT_EQ(params.style & (kWsCaption | kWsSysMenu), kWsCaption | kWsSysMenu);
  EXPECT_EQ(params.style & (kWsThickFrame | kWsMinimizeBox | kWsMaximizeBox | kWsVisible), 0u);
  EXPECT_EQ(params.parentWindow, kOwner);
  EXPECT_EQ(params.caption, "Rillmark");
  EXPECT_EQ(params.position.x, 190);
  EXPECT_EQ(params.position.y, 102);
  EXPECT_EQ(params.clientSize.width, 180);
  EXPECT_EQ(params.clientSize.height, 363);
  EXPECT_EQ(panel.name(), "Form1");
  EXPECT_TRUE(panel.AutoDrag);

  // What the override replaces: a plain form given a parent is its child.
  Form plain(kOwner);
  plain.setBorderStyle(BorderStyle::ToolWindow);
  CreateParams inherited;
  plain.createParams(inherited);
  EXPECT_NE(inherited.style & kWsChild, 0u);
  EXPECT_NE(inherited.exStyle, 0x10080u);
}

TEST(TsxForms, AutoDragTurnsOnlyTheBareClientAreaIntoCaption) {
  const int kHtNowhere = 0, kHtBorder = 18, kHtClose = 20;
  const struct {
    bool autoDrag;
    int inherited, expected;
  } cases[] = {
      {true, kHtClient, kHtCaption}, {true, kHtCaption, kHtCaption}, {true, kHtBorder, kHtBorder},
      {true, kHtClose, kHtClose},    {true, kHtNowhere, kHtNowhere}, {false, kHtClient, kHtClient},
  };
  TtsxForm form(nullptr);
  for (const auto& c : cases) {
    form.AutoDrag = c.autoDrag;
    EXPECT_EQ(form.nonClientHitTest(c.inherited), c.expected) << c.autoDrag << " " << c.inherited;
  }
  Form plain;
  EXPECT_EQ(plain.nonClientHitTest(kHtClient), kHtClient);
}

TEST(TsxForms, HeadlessWindowKeepsTheFormsStateAndOuterFrame) {
  const ActivePlatform platform;
  headless::install();
  auto* panel = new TForm1(kOwner);
  Form1 = panel;
  panel->show();
  const auto* window = headless::windows().find(panel->handle());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->visible());
  EXPECT_EQ(window->hitTestClient(), kHtCaption);
  EXPECT_EQ(panel->outerSize().height, 386);
  int shown = 0;
  panel->onShow = [&](Form&) { ++shown; };
  panel->hide();
  panel->show();
  panel->show();
  EXPECT_EQ(shown, 1) << "shown once per hidden-to-visible change";
  delete panel;
  EXPECT_EQ(Form1, nullptr) << "the destructor empties the panel variable";
}

TEST(TsxForms, CloseHidesUnlessTheHandlerFreesOrKeeps) {
  headless::install();
  Form form;
  form.show();
  form.close();
  EXPECT_FALSE(form.visible());
  form.show();
  form.onClose = [](Form&, CloseAction& action) { action = CloseAction::None; };
  form.close();
  EXPECT_TRUE(form.visible());
}

TEST(FileFilter, PipesBecomeNulsAndTheListEndsWithTwo) {
  using namespace std::string_literals;
  EXPECT_EQ(nulSeparatedFilter("Presets|*.rmp"), "Presets\0*.rmp\0\0"s);
  EXPECT_EQ(nulSeparatedFilter("A|*.a|B|*.b"), "A\0*.a\0B\0*.b\0\0"s);
  EXPECT_EQ(nulSeparatedFilter("A|*.a|"), "A\0*.a\0\0"s);
}

}  // namespace
}  // namespace rillmark
