// rillmark_win32_host --tab-paint FOLDER: every page of the panel, reached
// by real clicks on its tab from every other page, after the panel was
// rolled up and down on it, and by choosing it while the panel is rolled
// up, must match the screen of the same page on a freshly opened panel,
// pixel for pixel. A page that leaves some of its area unpainted (under a
// group box, say) shows whatever the page before it left there, which
// differs with the page it came from.
//
// The pointer is moved off the panel before each panel opens and before
// each screenshot, so no hot tracking shows and the status line names the
// same control (the tab row) every time, as the keyboard focus is there
// every time: a screenshot is the same whenever the painting is.
#include "tab_paint.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "dialog_watcher.h"
#include "host_harness.h"
#include "panel_driver.h"
#include "screen_capture.h"

namespace rillmark::testhost {

namespace {

constexpr int kTabs = 3;
constexpr std::array<const char*, kTabs> kTabNames{"animation", "effectors", "wind"};

// Over the main view, left of the panel.
constexpr POINT kPointerAway{60, 300};

class TabPaint {
 public:
  explicit TabPaint(std::string folder) : folder_(std::move(folder)) {}

  int run() {
    DialogWatcher watcher;
    HWND view = createMainView();
    HMODULE api = startReferenceHost(host_, view);
    if (api == nullptr) return 1;
    // The status line names the control the pointer last crossed: a panel
    // must never open under a pointer left there by an earlier program.
    moveTo(kPointerAway);
    panel_ = openPluginPanel(plugin_, view);
    if (panel_ == nullptr || !takePanel(panel_)) return 1;

    // The expected screens: each page chosen on a panel just opened, whose
    // only earlier page is the first one.
    for (int tab = 0; tab < kTabs; ++tab) {
      if (tab > 0 && !reopen(view)) return 1;
      show(tab);
      fresh_[tab] = captureWindow(panel_);
      check(!fresh_[tab].empty() && saveBmp(fresh_[tab], path(std::string(kTabNames[tab]) + "_fresh")),
            std::string("the fresh ") + kTabNames[tab] + " page is captured");
    }

    // Every page from every other page: each ordered pair once.
    constexpr std::array<int, 7> order{0, 1, 2, 0, 2, 1, 0};
    for (std::size_t i = 1; i < order.size(); ++i) {
      show(order[i]);
      compare(order[i], std::string("from_") + kTabNames[order[i - 1]]);
    }

    // Rolled up and down again on each page; rolled up on one page and
    // unrolled by choosing the next.
    for (int tab = 0; tab < kTabs; ++tab) {
      show(tab);
      rollUp();
      click("BitBtn1");
      show(tab);
      compare(tab, "rolled_up_and_down");
    }
    for (int tab = 0; tab < kTabs; ++tab) {
      const int next = (tab + 1) % kTabs;
      show(tab);
      rollUp();
      show(next);
      compare(next, std::string("chosen_rolled_up_on_") + kTabNames[tab]);
    }

    checkTexts(watcher.take(), {}, "no message box");
    SendMessageA(panel_, WM_CLOSE, 0, 0);
    pump(200);
    FreeLibrary(plugin_.module);
    FreeLibrary(api);
    DestroyWindow(view);
    return failures == 0 ? 0 : 1;
  }

 private:
  bool takePanel(HWND panel) {
    panel_ = panel;
    SetForegroundWindow(panel_);
    pump(200);
    controls_ = controlWindows(panel_);
    return controls_.count("PageControl1") == 1 && controls_.count("BitBtn1") == 1;
  }

  // Closes the panel and opens a new one with the plug-in's icon.
  bool reopen(HWND view) {
    HWND old = panel_;
    SendMessageA(old, WM_CLOSE, 0, 0);
    pump(200);
    check(!IsWindow(old), "closing the panel destroys it");
    moveTo(kPointerAway);
    check(plugin_.tsxOnLeftClick() == 0, "the left click opens a new panel");
    pump(300);
    const auto owned = ownedWindows(view);
    check(owned.size() == 1, "one panel window");
    return owned.size() == 1 && takePanel(owned[0]);
  }

  // A real click on the tab, then the pointer off the panel.
  void show(int tab) {
    HWND tabs = controls_["PageControl1"];
    RECT r{};
    SendMessageA(tabs, TCM_GETITEMRECT, tab, reinterpret_cast<LPARAM>(&r));
    clickAt(toScreen(tabs, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
    moveTo(kPointerAway);
    pump(150);
  }

  void click(const std::string& name) { clickAt(centreOf(controls_[name])); }

  void rollUp() {
    RECT before{}, after{};
    GetClientRect(panel_, &before);
    click("BitBtn1");
    GetClientRect(panel_, &after);
    check(after.bottom < before.bottom, "the panel rolled up (client height " + std::to_string(before.bottom) +
                                            " to " + std::to_string(after.bottom) + ")");
  }

  // The panel's screen against the fresh screen of the page, exactly: both
  // are drawn by the same code from the same state with the same fonts, so
  // any difference is something left unpainted or painted differently.
  void compare(int tab, const std::string& how) {
    const std::string name = std::string(kTabNames[tab]) + "_" + how;
    const Screenshot got = captureWindow(panel_);
    const Screenshot& want = fresh_[tab];
    std::string detail;
    bool same = !got.empty() && got.width == want.width && got.height == want.height;
    if (!same) {
      detail = "size " + std::to_string(got.width) + " x " + std::to_string(got.height) + ", fresh " +
               std::to_string(want.width) + " x " + std::to_string(want.height);
    } else {
      int differing = 0;
      RECT box{got.width, got.height, -1, -1};
      for (int row = 0; row < got.height; ++row) {
        const unsigned char* a = got.bits.data() + static_cast<std::size_t>(row) * got.stride();
        const unsigned char* b = want.bits.data() + static_cast<std::size_t>(row) * want.stride();
        for (int x = 0; x < got.width; ++x) {
          if (a[3 * x] == b[3 * x] && a[3 * x + 1] == b[3 * x + 1] && a[3 * x + 2] == b[3 * x + 2]) continue;
          ++differing;
          const int y = got.height - 1 - row;  // rows are stored bottom-up
          box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x),
                 std::max<LONG>(box.bottom, y)};
        }
      }
      same = differing == 0;
      if (!same)
        detail = std::to_string(differing) + " pixels differ within (" + std::to_string(box.left) + ", " +
                 std::to_string(box.top) + ")-(" + std::to_string(box.right) + ", " + std::to_string(box.bottom) +
                 ") of the window";
    }
    std::string what = "the " + std::string(kTabNames[tab]) + " page " + how + " looks as on a fresh panel";
    if (!same) {
      saveBmp(got, path(name));
      what += " (" + detail + "; see " + path(name) + " and " + path(std::string(kTabNames[tab]) + "_fresh") + ")";
    }
    check(same, what);
  }

  std::string path(const std::string& name) const { return folder_ + "\\" + name + ".bmp"; }

  std::string folder_;
  ReferenceHost host_{};
  Plugin plugin_;
  HWND panel_ = nullptr;
  std::map<std::string, HWND> controls_;
  std::array<Screenshot, kTabs> fresh_;
};

}  // namespace

int runTabPaint(const std::string& folder) {
  CreateDirectoryA(folder.c_str(), nullptr);
  TabPaint session(folder);
  const int status = session.run();
  std::printf("%s\n", status == 0 ? "all checks passed" : "some checks FAILED");
  return status;
}

}  // namespace rillmark::testhost
