// rillmark_win32_host --panel-run: a whole run driven the way a user drives
// it, with real mouse and keyboard input (SendInput) at the positions of
// the panel's controls, while this program's loop only translates and
// dispatches, as a host's does. The reference host holds a water grid and
// a ball that sinks through it; the user selects the water in the host,
// clicks "Select Water", checks the ball on the "Effectors" page, types a
// new "End" and presses Enter, clicks Start, presses Escape in the middle
// of the run, clicks Continue, and the water's vertex keys then hold
// ripples up to the new last frame. Screenshots of each tab, of the
// panel rolled up and of a run in progress are written beside the program.
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "dialog_watcher.h"
#include "host_harness.h"
#include "panel_driver.h"
#include "panel_run.h"
#include "screen_capture.h"

namespace rillmark::testhost {

namespace {

// What the plug-in asked the shell to open (its ShellExecuteW import is
// pointed here).
std::vector<std::wstring> shellOpened;

HINSTANCE WINAPI recordingShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder,
                                        INT show) {
  const bool asSpecified = verb != nullptr && std::wstring(verb) == L"open" && parameters == nullptr &&
                           folder == nullptr && show == SW_SHOWNORMAL;
  shellOpened.push_back(asSpecified && file != nullptr ? file : L"<unexpected call>");
  return reinterpret_cast<HINSTANCE>(42);
}

std::string narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

// The guide beside a module: its folder and "Index.htm".
std::string referenceBeside(HMODULE module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  const std::string file = path;
  return file.substr(0, file.find_last_of('\\') + 1) + "Index.htm";
}

class PanelRun {
 public:
  explicit PanelRun(const std::string& shotFolder, bool strictHost = false)
      : shots_(shotFolder), strictHost_(strictHost) {}

  // The package as a user unpacks it: the plug-in loads from its folder,
  // and its online reference is that folder's guide.
  int checkPackage(const std::string& folder) {
    DialogWatcher watcher;
    HWND view = createMainView();
    HMODULE api = startHost(view);
    if (api == nullptr) return 1;
    char full[MAX_PATH] = {};
    GetFullPathNameA(folder.c_str(), MAX_PATH, full, nullptr);
    const std::string unpacked = full;
    Plugin plugin;
    if (!openPanel(plugin, view, unpacked + "\\Rillmark.tsx")) return 1;
    checkAboutWindow(view, plugin.module, unpacked + "\\Index.htm");
    checkTexts(watcher.take(), {}, "no message box");
    FreeLibrary(plugin.module);
    FreeLibrary(api);
    DestroyWindow(view);
    return failures == 0 ? 0 : 1;
  }

  int run() {
    DialogWatcher watcher;
    HWND view = createMainView();
    HMODULE api = startHost(view);
    if (api == nullptr) return 1;
    Handle water = buildScene();
    Plugin plugin;
    if (!openPanel(plugin, view, "Rillmark.tsx")) return 1;
    check(controls_.size() > 60, "the panel's controls carry their names (" + std::to_string(controls_.size()) + ")");
    shoot("tab_animation");

    // Select the water in the host, then "Select Water" on the panel.
    host_.select(water);
    click("btnselect");
    check(windowText(control("btnselect")) == "Water selected", "the select button names the water");
    check(IsWindowEnabled(control("btnstart")) != 0, "Start is enabled");

    // The ball on the "Effectors" page, by its check box.
    clickTab(1);
    HWND list = control("listeffectors");
    check(SendMessageA(list, LB_GETCOUNT, 0, 0) == 1, "the effector list holds the ball");
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    clickAt(toScreen(list, {item.left + 7, (item.top + item.bottom) / 2}));
    check(host_.nameOf(host_.selection()) == "Ball", "clicking the item selected the ball in the host");
    shoot("tab_effectors");
    clickTab(2);
    shoot("tab_wind");
    clickTab(0);

    // A new last frame, typed into "End" and taken with Enter.
    HWND end = control("edit", control("spinend"));
    clickAt(centreOf(end));
    pressKey(VK_HOME);
    sendKey(VK_SHIFT, false);
    pressKey(VK_END);
    sendKey(VK_SHIFT, true);
    for (WORD key : {WORD('4'), WORD('0'), WORD('0')}) pressKey(key);
    pressKey(VK_RETURN);
    check(windowText(end) == "400", "End reads 400 after typing and Enter (" + windowText(end) + ")");

    // Start; Escape in the middle of the run, from another thread, as the
    // user's keyboard would.
    HWND status = control("Statusbar");
    std::atomic<int> stoppedAt{-1};
    std::thread user([&] {
      for (int waited = 0; waited < 60000; waited += 5) {
        const int frame = frameOf(windowText(status));
        if (frame >= 44) {
          if (!shotDuringRun_) {
            shotDuringRun_ = true;
            shoot("run_in_progress");
          }
          pressKey(VK_ESCAPE);
          stoppedAt = frame;
          return;
        }
        Sleep(5);
      }
    });
    clickAt(centreOf(control("btnstart")));
    user.join();
    pump(200);
    const int frameAfterStop = frameOf(windowText(status));
    check(stoppedAt >= 44 && frameAfterStop < 400,
          "Escape stopped the run in the middle (pressed at frame " + std::to_string(stoppedAt) + ", last frame " +
              std::to_string(frameAfterStop) + ")");

    // The information panel in view while Continue runs: its figures move.
    click("btninfo");
    std::string framesSeen;
    std::thread viewer([&] {
      for (int waited = 0; waited < 60000; waited += 5) {
        if (frameOf(windowText(status)) >= 200) {
          framesSeen = windowText(control("labframes"));
          shoot("info_panel_during_run");
          return;
        }
        Sleep(5);
      }
    });
    click("btncontinue");
    viewer.join();
    pump(300);
    check(frameOf(windowText(status)) == 400, "Continue ran to the last frame (" + windowText(status) + ")");
    check(std::atoi(framesSeen.c_str()) >= 200, "the information panel showed the run's frame (" + framesSeen + ")");
    check(windowText(control("labframes")) == "400", "and the last frame once the run ended");
    click("btninfoclose");

    Handle current = host_.findTopNode("Water");
    std::vector<int> frames(1000);
    const int keyed = host_.vertexKeyFrames(current, frames.data(), static_cast<int>(frames.size()));
    check(keyed == 201, "the water holds a key every second frame from 0 to 400 (" + std::to_string(keyed) + ")");
    std::vector<float> xyz(3 * 41 * 41);
    host_.getVertexKey(current, 60, xyz.data(), 41 * 41);
    float highest = 0;
    for (std::size_t i = 2; i < xyz.size(); i += 3) highest = std::max(highest, std::fabs(xyz[i]));
    check(highest > 0.001f, "the key at frame 60 holds ripples (highest " + std::to_string(highest) + ")");

    click("BitBtn1");
    shoot("rolled_up");
    click("BitBtn1");

    checkAboutWindow(view, plugin.module, referenceBeside(plugin.module));

    checkTexts(watcher.take(), {}, "no message box during the session");
    HWND about = findAbout(view);
    FreeLibrary(plugin.module);
    pump(50);
    check(about != nullptr && !IsWindow(about), "unloading the plug-in destroys the About window");
    FreeLibrary(api);
    DestroyWindow(view);
    return failures == 0 ? 0 : 1;
  }

 private:
  // A strict host answers tsxIsSobj with 0 for every node outside the
  // scene (the plug-in's own copies among them), as a host may.
  HMODULE startHost(HWND view) {
    HMODULE api = startReferenceHost(host_, view);
    if (api != nullptr && strictHost_) {
      using SwitchFn = void(__cdecl*)(int);
      const auto strict = proc<SwitchFn>(api, "refhost_set_sobj_only_in_scene");
      check(strict != nullptr, "the host can answer only for scene objects");
      if (strict) strict(1);
    }
    return api;
  }

  // The panel is then in the foreground, for real input.
  bool openPanel(Plugin& plugin, HWND view, const std::string& path) {
    panel_ = openPluginPanel(plugin, view, path);
    if (panel_ == nullptr) return false;
    SetForegroundWindow(panel_);
    pump(200);
    controls_ = controlWindows(panel_);
    return true;
  }

  Handle buildScene() {
    Handle water = host_.addGrid("Water", 41, 41, 6.0f, 6.0f, 0.0f, nullptr);
    Handle ball = host_.createSphere(12, 6, 0.4f);
    host_.sceneAddObject(ball, 1);
    host_.setName(ball, "Ball");
    host_.addLocationKey(ball, 0.0f, 1.0f, -0.5f, 2.0f);
    host_.addLocationKey(ball, 100.0f, 1.0f, -0.5f, -2.0f);
    return water;
  }

  // "?" opens one About window; its button opens the guide beside the
  // plug-in; closing hides it and "?" shows the same window again.
  void checkAboutWindow(HWND view, HMODULE plugin, const std::string& expectedReference) {
    check(redirectImport(plugin, "SHELL32.dll", "ShellExecuteW", reinterpret_cast<void*>(&recordingShellExecuteW)),
          "the plug-in's ShellExecuteW import is watched");
    click("Button1");
    pump(300);
    HWND about = findAbout(view);
    check(about != nullptr && IsWindowVisible(about), "\"?\" shows the About window");
    if (about == nullptr) return;
    RECT client{};
    GetClientRect(about, &client);
    check(client.right == 390 && client.bottom == 240, "its client area is 390 x 240");
    shootWindow(about, "about_window");
    const auto inside = controlWindows(about);
    const auto button = inside.find("TransparentButton1");
    check(button != inside.end(), "it has the online reference button");
    if (button != inside.end()) clickAt(centreOf(button->second));
    const std::string& expected = expectedReference;
    check(shellOpened.size() == 1 && narrow(shellOpened[0]) == expected,
          "the button opens " + expected + (shellOpened.empty() ? "" : " (" + narrow(shellOpened.back()) + ")"));
    check(GetFileAttributesA(expected.c_str()) != INVALID_FILE_ATTRIBUTES, "and that guide is there");
    SendMessageA(about, WM_CLOSE, 0, 0);
    pump(100);
    check(IsWindow(about) && !IsWindowVisible(about), "closing hides the About window");
    click("Button1");
    pump(200);
    check(findAbout(view) == about && IsWindowVisible(about), "\"?\" shows the same window again");
    SendMessageA(about, WM_CLOSE, 0, 0);
    pump(100);
  }

  HWND control(const std::string& name, HWND within = nullptr) {
    if (within != nullptr) {
      const auto inner = controlWindows(within);
      const auto it = inner.find(name);
      return it == inner.end() ? nullptr : it->second;
    }
    const auto it = controls_.find(name);
    if (it == controls_.end()) {
      check(false, "the panel has a control named " + name);
      return nullptr;
    }
    return it->second;
  }

  void click(const std::string& name) { clickAt(centreOf(control(name))); }

  void clickTab(int index) {
    HWND tabs = control("PageControl1");
    RECT r{};
    SendMessageA(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    clickAt(toScreen(tabs, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
  }

  void shoot(const std::string& name) { shootWindow(panel_, name); }

  void shootWindow(HWND window, const std::string& name) {
    if (shots_.empty()) return;
    const std::string path = shots_ + "\\" + name + ".bmp";
    check(capturePanel(window, path), "screenshot " + path);
  }

  std::string shots_;
  bool strictHost_ = false;
  ReferenceHost host_{};
  HWND panel_ = nullptr;
  std::map<std::string, HWND> controls_;
  std::atomic<bool> shotDuringRun_{false};
};

}  // namespace

int checkUnpackedPackage(const std::string& folder) {
  PanelRun session("");
  const int status = session.checkPackage(folder);
  std::printf("%s\n", status == 0 ? "all checks passed" : "some checks FAILED");
  return status;
}

int runPanelByInput(const std::string& screenshotFolder, bool strictHost) {
  if (!screenshotFolder.empty()) CreateDirectoryA(screenshotFolder.c_str(), nullptr);
  PanelRun session(screenshotFolder, strictHost);
  const int status = session.run();
  std::printf("%s\n", status == 0 ? "all checks passed" : "some checks FAILED");
  return status;
}

}  // namespace rillmark::testhost
