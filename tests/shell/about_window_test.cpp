#include "ui/about_window.h"

#include <gtest/gtest.h>

#include "shell/entry_points.h"
#include "shell_fixture.h"
#include "ui/headless/headless_user.h"

namespace rillmark {
namespace {

using testing::ShellFixture;

class AboutWindow : public ShellFixture {
 protected:
  AboutWindow() {
    std::array<unsigned char, 100> record{};
    GetDataEntry(loader, record.data(), 1);
    LeftClickEntry(loader);
  }
  ui::headless::HeadlessUser user{loader};
};

TEST_F(AboutWindow, QuestionMarkShowsOneWindowListedWithTheHost) {
  user.click(*Form1->Button1);
  Tform2* const about = form2;
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->visible());
  EXPECT_EQ(about->parentWindow(), testing::kMainView) << "owned by the host's main view";
  EXPECT_EQ(about->caption(), "Rillmark Online Help");
  EXPECT_EQ(about->clientSize(), (ui::Size{390, 240}));
  const ui::Size outer = about->outerSize();
  EXPECT_EQ(about->position(), (ui::Point{(1024 - outer.width) / 2, (768 - outer.height) / 2}))
      << "at the centre of the screen";

  user.click(*Form1->Button1);
  EXPECT_EQ(form2, about) << "a second click shows the same window";
  about->closeRequested();
  EXPECT_EQ(form2, about);
  EXPECT_FALSE(about->visible()) << "closing only hides it";
  user.click(*Form1->Button1);
  EXPECT_EQ(form2, about);
  EXPECT_TRUE(about->visible());
  int listed = 0;
  for (const PluginFormEntry& entry : PluginHost->Forms) listed += entry.form == about;
  EXPECT_EQ(listed, 3);

  const auto alive = about->watch();
  EXPECT_TRUE(LibraryNotify(loader, kProcessDetach));
  EXPECT_TRUE(alive.expired()) << "unloading destroys it";
  EXPECT_EQ(form2, nullptr);
}

TEST_F(AboutWindow, TheReferenceIsTheGuideBesideThePluginsOwnModule) {
  EXPECT_EQ(OnlineReferencePath("C:\\Program Files\\trueSpace\\Plugins\\Rillmark.tsx"),
            "C:\\Program Files\\trueSpace\\Plugins\\Index.htm");
  EXPECT_EQ(OnlineReferencePath("/opt/rillmark/libRillmark.so"), "/opt/rillmark/Index.htm");
  EXPECT_EQ(OnlineReferencePath("Rillmark.tsx"), "Index.htm");

  loader.moduleFile = "D:\\Elsewhere\\Rillmark.tsx";
  user.click(*Form1->Button1);
  user.click(*form2->TransparentButton1);
  user.click(*form2->URLLabel1);
  EXPECT_EQ(loader.shellOpened, (std::vector<std::string>{"D:\\Elsewhere\\Index.htm", "D:\\Elsewhere\\Index.htm"}));
}

}  // namespace
}  // namespace rillmark
