// The panel on real Win32 controls: every window stands where the design
// puts it, in the panel's font, and the keys a dialog would handle work
// through the windows' own procedures, with a loop that only translates
// and dispatches.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "support/panel_fixture.h"
#include "support/panel_layout.h"
#include "ui/win32/repaint_pacer.h"
#include "ui/win32/win32_backend.h"

namespace rillmark {
namespace {

using ui::Control;
using ui::Rect;

void dispatchPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// A window's rectangle in its parent's client area.
Rect placeOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

HWND windowOf(const Control& c) { return static_cast<HWND>(c.nativeHandle()); }

const Control* findControl(const Control& root, const std::string& name) {
  if (root.name() == name) return &root;
  for (const auto& child : root.children())
    if (const Control* found = findControl(*child, name)) return found;
  return nullptr;
}

class Win32Panel : public testing::PanelFixture {
 protected:
  // The fixture opened a headless panel; this one opens a real one.
  Win32Panel() {
    delete Form1;
    ui::win32::install();
    mainView_ = CreateWindowExA(0, "STATIC", "main view", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    owner = mainView_;
    openPanel();
    dispatchPending();
  }
  ~Win32Panel() override {
    delete Form1;
    Form1 = nullptr;
    DestroyWindow(mainView_);
    ui::win32::uninstall();
  }
  HWND mainView_;
};

TEST_F(Win32Panel, EveryWindowStandsWhereTheDesignPutsIt) {
  RECT client{};
  GetClientRect(windowOf(*panel), &client);
  EXPECT_EQ(client.right, 180);
  EXPECT_EQ(client.bottom, 363);
  for (const auto& c : testing::kPanelLayout) {
    const Control* control = findControl(*panel, c.name);
    ASSERT_NE(control, nullptr) << c.name;
    HWND window = windowOf(*control);
    ASSERT_NE(window, nullptr) << c.name;
    EXPECT_EQ(placeOf(window), c.bounds) << c.name;
    EXPECT_EQ(IsWindowEnabled(window) != 0, c.enabled) << c.name;
    EXPECT_STREQ(static_cast<const char*>(GetPropA(window, "Rillmark.Name")), c.name);
  }
  // And every other control too, edit boxes of the spinners and pictures
  // included, where the widget model has it.
  std::function<void(const Control&)> visit = [&](const Control& c) {
    if (c.kind() != ui::ControlKind::Form) {
      EXPECT_EQ(placeOf(windowOf(c)), c.bounds()) << c.name();
    }
    for (const auto& child : c.children()) visit(*child);
  };
  visit(*panel);
}

TEST_F(Win32Panel, ControlsUseThePanelsFonts) {
  const struct {
    const Control* control;
    const char* face;
    bool bold;
  } cases[] = {
      {panel->btnselect, "MS Sans Serif", false},
      {panel->BitBtn1, "Marlett", true},
      {panel->btninfo, "MS Sans Serif", true},
      {&panel->spinamp->edit(), "MS Sans Serif", false},
  };
  for (const auto& c : cases) {
    auto font = reinterpret_cast<HFONT>(SendMessageA(windowOf(*c.control), WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    ASSERT_NE(GetObjectA(font, sizeof lf, &lf), 0) << c.control->name();
    EXPECT_STREQ(lf.lfFaceName, c.face) << c.control->name();
    EXPECT_EQ(lf.lfHeight, -11) << c.control->name();
    EXPECT_EQ(lf.lfWeight >= FW_BOLD, c.bold) << c.control->name();
  }
  EXPECT_NE(GetWindowLongA(windowOf(*panel->PageControl1), GWL_STYLE) & TCS_HOTTRACK, 0) << "tabs highlight";
}

TEST_F(Win32Panel, TabWalksTheEditBoxesAndEnterTakesTheValue) {
  HWND amplitude = windowOf(panel->spinamp->edit());
  SetFocus(amplitude);
  PostMessageA(amplitude, WM_KEYDOWN, VK_TAB, 0);
  dispatchPending();
  EXPECT_EQ(GetFocus(), windowOf(panel->spinfreq->edit()));
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
  dispatchPending();
  EXPECT_EQ(GetFocus(), windowOf(panel->spinvel->edit()));

  // Typed characters reach the spinner; Enter passes the value to the
  // setter and selects the whole text.
  HWND speed = GetFocus();
  SendMessageA(speed, EM_SETSEL, 0, -1);
  for (char c : std::string("2.5\r")) PostMessageA(speed, WM_CHAR, static_cast<unsigned char>(c), 0);
  dispatchPending();
  EXPECT_EQ(panel->Params.speed.Value(), 2.5f);
  DWORD from = 0, to = 0;
  SendMessageA(speed, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 3u);

  // Escape presses Stop only once it is enabled.
  PostMessageA(speed, WM_KEYDOWN, VK_ESCAPE, 0);
  dispatchPending();
  EXPECT_FALSE(state().Counters.StopRequested);
  panel->enableContinueAndStop();
  PostMessageA(speed, WM_KEYDOWN, VK_ESCAPE, 0);
  dispatchPending();
  EXPECT_TRUE(state().Counters.StopRequested);
}

// The pacer's timer, ticked by the test: a tick is the WM_TIMER the
// window's timer would send.
class HandTickedClock : public ui::win32::PacerClock {
 public:
  HandTickedClock() { ui::win32::setPacerClock(this); }
  ~HandTickedClock() override { ui::win32::setPacerClock(nullptr); }
  bool start(HWND, UINT_PTR, UINT) override {
    running = true;
    return true;
  }
  void stop(HWND, UINT_PTR) override { running = false; }
  bool running = false;
};

// A caption that changes every frame of a run is painted once per tick of
// the pacer's timer, and its last text is always painted at the next one.
TEST_F(Win32Panel, ACaptionChangingFasterThanTheScreenIsPaintedPaced) {
  HandTickedClock clock;
  HWND status = windowOf(*panel->Statusbar);
  ShowWindow(windowOf(*panel), SW_SHOWNA);
  dispatchPending();
  int paints = 0;
  std::string painted;
  const auto dispatchCounting = [&] {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_PAINT && msg.hwnd == status) {
        ++paints;
        char text[32] = {};
        GetWindowTextA(status, text, sizeof text);
        painted = text;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  };
  const auto tick = [&] {
    SendMessageA(status, WM_TIMER, ui::win32::RepaintPacer::kTimerId, 0);
    dispatchCounting();
  };
  const auto setCaption = [&](int frame) {
    panel->Statusbar->setCaption("Frame " + std::to_string(frame));
    dispatchCounting();
  };

  // Within one interval: the first change is painted at once, the others
  // wait for the tick, which paints the last one.
  for (int frame = 1; frame <= 10; ++frame) setCaption(frame);
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(painted, "Frame 1");
  EXPECT_TRUE(clock.running);
  tick();
  EXPECT_EQ(paints, 2);
  EXPECT_EQ(painted, "Frame 10");
  // A tick with nothing waiting stops the timer, so the next change after
  // a pause is painted at once.
  tick();
  EXPECT_EQ(paints, 2);
  EXPECT_FALSE(clock.running);
  setCaption(11);
  EXPECT_EQ(paints, 3);
  EXPECT_EQ(painted, "Frame 11");
  EXPECT_TRUE(clock.running);
}

// A handler that closes the panel and then waits in a modal loop (as a
// message box does) must find the panel whole when the loop returns; the
// panel goes once the handler has.
TEST_F(Win32Panel, AClosedPanelOutlivesTheHandlerThatIsStillRunning) {
  bool whole = false;
  HWND window = windowOf(*panel);
  panel->btninfo->onClick = [&](Control&) {
    panel->close();
    const DWORD until = GetTickCount() + 150;
    while (GetTickCount() < until) dispatchPending();
    whole = Form1 == nullptr && panel->btninfo->caption() == "i";
  };
  SendMessageA(windowOf(*panel->btninfo), BM_CLICK, 0, 0);
  EXPECT_TRUE(whole);
  const DWORD until = GetTickCount() + 200;
  while (GetTickCount() < until && IsWindow(window)) dispatchPending();
  EXPECT_FALSE(IsWindow(window)) << "the panel is freed after the handler";
  panel = nullptr;
}

}  // namespace
}  // namespace rillmark
