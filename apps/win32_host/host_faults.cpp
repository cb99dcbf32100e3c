// rillmark_win32_host --host-faults: the plug-in under Wine against a host
// that misbehaves, with the real message pumping of a run. The main view's
// own timer deletes the water while a run processes messages, as a host
// whose user deletes it would; a host that cannot copy objects, one that
// answers every location and size with NaN, and a 3.20 host without the
// 4.1 functions follow. Each time the plug-in must go on working and say
// what the user must do.
#include "host_faults.h"

#include <windows.h>

#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "dialog_watcher.h"
#include "host_harness.h"
#include "panel_driver.h"

namespace rillmark::testhost {

namespace {

constexpr UINT_PTR kDeleteTimer = 9;

// What the main view's timer does while a run pumps messages: once the
// status line shows `frame` or later, delete the water.
struct DeleteWhenFrame {
  ReferenceHost* host = nullptr;
  HWND status = nullptr;
  int frame = 0;
  Handle deleted = nullptr;
};
DeleteWhenFrame deleter;

LRESULT CALLBACK mainViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kDeleteTimer) {
    if (deleter.deleted == nullptr && frameOf(windowText(deleter.status)) >= deleter.frame) {
      deleter.deleted = deleter.host->findTopNode("Water");
      deleter.host->sobjDelete(deleter.deleted);
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The panel of a freshly loaded plug-in over a host that holds a water
// grid and a ball sinking through it, the water selected.
class Session {
 public:
  Session(ReferenceHost& host, HWND view, const char* stage) : host_(host), view_(view), stage_(stage) {
    host_.reset();
    host_.setMainView(view);
    host_.setVersion(430, 0);
    host_.addGrid("Water", 31, 31, 6.0f, 6.0f, 0.0f, nullptr);
    const Handle ball = host_.createSphere(12, 6, 0.4f);
    host_.sceneAddObject(ball, 1);
    host_.setName(ball, "Effector-Ball");
    host_.addLocationKey(ball, 0.0f, 1.0f, -0.5f, 2.0f);
    host_.addLocationKey(ball, 100.0f, 1.0f, -0.5f, -2.0f);
  }
  ~Session() {
    if (panel_ != nullptr) SendMessageA(panel_, WM_CLOSE, 0, 0);
    if (plugin_.module != nullptr) FreeLibrary(plugin_.module);
    pump(20);
  }

  bool open(int version = 430) {
    host_.setVersion(version, 0);
    panel_ = openPluginPanel(plugin_, view_);
    if (panel_ == nullptr) return false;
    controls_ = controlWindows(panel_);
    host_.select(host_.findTopNode("Water"));
    press("btnselect");
    return true;
  }

  HWND control(const std::string& name) {
    const auto it = controls_.find(name);
    if (it != controls_.end()) return it->second;
    check(false, stage_ + ": the panel has a control named " + name);
    return nullptr;
  }
  void press(const std::string& name) { pressButton(control(name)); }
  int frame() { return frameOf(windowText(control("Statusbar"))); }

 private:
  ReferenceHost& host_;
  HWND view_;
  std::string stage_;
  Plugin plugin_;
  HWND panel_ = nullptr;
  std::map<std::string, HWND> controls_;
};

// Every keyed coordinate of the water is finite.
bool keysFinite(ReferenceHost& host) {
  const Handle water = host.findTopNode("Water");
  std::vector<int> frames(256);
  const int keyed = host.vertexKeyFrames(water, frames.data(), static_cast<int>(frames.size()));
  std::vector<float> xyz(3 * 31 * 31);
  for (int i = 0; i < keyed && i < static_cast<int>(frames.size()); ++i) {
    host.getVertexKey(water, frames[i], xyz.data(), 31 * 31);
    for (float v : xyz)
      if (!std::isfinite(v)) return false;
  }
  return keyed > 0;
}

}  // namespace

int runHostFaults() {
  DialogWatcher watcher;
  HWND view = createMainView(mainViewProc, "RillmarkFaultyHostView", "Faulty host main view");
  ReferenceHost host{};
  HMODULE api = startReferenceHost(host, view);
  if (api == nullptr) return 1;

  {
    Session s(host, view, "water deleted mid-run");
    if (s.open()) {
      deleter = {&host, s.control("Statusbar"), 40, nullptr};
      SetTimer(view, kDeleteTimer, 1, nullptr);
      s.press("btnstart");
      KillTimer(view, kDeleteTimer);
      check(deleter.deleted != nullptr && host.isLive(deleter.deleted) == 0, "the host deleted the water mid-run");
      check(s.frame() >= 40 && s.frame() < 100, "the run ended there (frame " + std::to_string(s.frame()) + ")");
      checkTexts(watcher.take(), {"Please Select Water Object"}, "the user is asked to select a water");
      check(windowText(s.control("btnselect")) == "Select Water Surface", "and the button says so");
      host.addGrid("Water", 31, 31, 6.0f, 6.0f, 0.0f, nullptr);
      host.select(host.findTopNode("Water"));
      s.press("btnselect");
      s.press("btnstart");
      check(s.frame() == 100, "a new water runs to the end");
      check(keysFinite(host), "and is keyed with finite heights");
    }
  }
  {
    Session s(host, view, "no copies");
    if (s.open()) {
      host.clearFaults();
      host.faultCopy(2);  // nonzero, and no copy
      s.press("btnstart");
      checkTexts(watcher.take(), {"The host could not copy the object 'Water'"},
                 "a host that makes no copies is named as the reason Start cannot run");
      check(host.isLive(host.findTopNode("Water")) != 0, "the water stays in the scene");
      host.clearFaults();
    }
  }
  {
    Session s(host, view, "NaN boxes");
    if (s.open()) {
      host.faultBox(nullptr, std::numeric_limits<float>::quiet_NaN());
      s.press("btnstart");
      host.clearFaults();
      check(s.frame() == 100, "with every location and size NaN the run goes to the end");
      check(keysFinite(host), "and keys only finite heights");
      checkTexts(watcher.take(), {}, "without a message");
    }
  }
  {
    Session s(host, view, "3.20 host");
    if (s.open(320)) {
      s.press("btneffector");
      // Named after the one effector already listed, the ball.
      check(host.findTopNode("Effector-1") != nullptr, "a 3.20 host gets an effector sphere");
      s.press("SpeedButton1");
      checkTexts(watcher.take(), {"The wind needs trueSpace version 4.10 or later: this version has no noise functions."},
                 "and is told that the wind needs 4.10");
      check(host.findTopNode("Wind Source") == nullptr, "no wind source is made");
      bool none = true;
      for (const char* name : {"tsxPolyhSelectVertices", "tsxPointsTranslate", "tsxPolyhDeselectAll", "tssNoise3"})
        none = none && host.callCount(name) == 0;
      check(none, "no function of 4.1 is called");
    }
  }
  checkTexts(watcher.take(), {}, "no other message box");
  FreeLibrary(api);
  DestroyWindow(view);
  return failures == 0 ? 0 : 1;
}

}  // namespace rillmark::testhost
