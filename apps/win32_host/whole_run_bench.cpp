// The whole run of a benchmark scene as a user has it: Rillmark.tsx in a
// host loop that only translates and dispatches, its real panel, the
// reference host keying the water. The scene is built as a user would
// build it (Create New Effector, Select Water, End and Step typed into
// their spinners) from the layout the benchmark programs use, so the run
// records the events whose literal pass they time. The reference host
// notes when each frame's time is set, which gives the frame times.
#include "whole_run_bench.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/scene_layout.h"
#include "dialog_watcher.h"
#include "host_harness.h"
#include "panel_driver.h"

namespace rillmark::testhost {

namespace {

namespace layout = rillmark::bench::layout;

double now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

using TimeFramesFn = void(__cdecl*)(int);
using FrameTimingsFn = int(__cdecl*)(float*, double*, int);

class WholeRun {
 public:
  int run(const std::string& scene, bool escape, int repeats) {
    DialogWatcher watcher;
    HWND view = createMainView();
    HMODULE api = startReferenceHost(host_, view);
    if (api == nullptr) return 1;
    timeFrames_ = proc<TimeFramesFn>(api, "refhost_time_frames");
    frameTimings_ = proc<FrameTimingsFn>(api, "refhost_frame_timings");
    host_.setRecording(0);  // counters only: a run makes millions of calls
    // Keys reuse the last run's buffers, so the figure is the plug-in's
    // time and not the time this machine takes to touch new pages.
    using SwitchFn = void(__cdecl*)(int);
    const auto reuseKeyBuffers = proc<SwitchFn>(api, "refhost_reuse_key_buffers");
    if (reuseKeyBuffers) reuseKeyBuffers(1);
    Plugin plugin;
    panel_ = openPluginPanel(plugin, view);
    if (panel_ == nullptr || !timeFrames_ || !frameTimings_ || !reuseKeyBuffers) return 1;
    SetForegroundWindow(panel_);
    pump(200);
    controls_ = controlWindows(panel_);

    const bool wake = scene == "d";
    int lastFrame = layout::kFallingLastFrame;
    if (wake) {
      lastFrame = layout::kWakeLastFrame;
      buildScene(std::array{layout::kWakePath}, lastFrame);
    } else {
      buildScene(layout::fallingPaths(), lastFrame);
    }
    const char* name = wake ? "(d)" : "(a)";
    lastFrame_ = lastFrame;

    // As the other benchmarks do, the figure is the fastest of several
    // runs: the first one also pays for the memory the host's keys take
    // the first time. A run with Escape follows one without.
    Timed timed;
    for (int round = 0; round < (escape ? 1 : repeats); ++round) {
      const Timed run = runOnce(false);
      if (round == 0 || run.end - run.begin < timed.end - timed.begin) timed = run;
    }
    if (escape) timed = runOnce(true);
    const double begin = timed.begin, end = timed.end;
    const std::vector<double>& frameStarts = timed.frameStarts;
    const int simulated = static_cast<int>(frameStarts.size());
    if (escape) {
      const double pressed = timed.pressed;
      const int frame = frameInProgress(frameStarts, pressed);
      check(frame >= 0 && simulated < lastFrame + 1, "Escape ended the run early");
      if (frame < 0) return 1;
      const double frameLength = (frame + 1 < simulated ? frameStarts[frame + 1] : end) - frameStarts[frame];
      std::printf("escape %s: pressed %.2f ms into frame %d (which took %.2f ms); the run ended %.2f ms after the key"
                  " (mean frame %.2f ms)\n",
                  name, (pressed - frameStarts[frame]) * 1e3, frame, frameLength * 1e3, (end - pressed) * 1e3,
                  (end - begin) * 1e3 / std::max(1, simulated));
    } else {
      check(simulated == lastFrame + 1, "the run simulated frames 0 to " + std::to_string(lastFrame) + " (" +
                                            std::to_string(simulated) + ")");
      std::printf("whole run %s through the panel: %.2f ms, %d frames, %.2f ms a frame (fastest of %d)\n", name,
                  (end - begin) * 1e3, simulated, (end - begin) * 1e3 / std::max(1, simulated), repeats);
      if (wake) {
        const double early = meanFrame(frameStarts, 100, 200, end);
        const double late = meanFrame(frameStarts, 900, 1000, end);
        std::printf("  mean frame, frames 100 to 200: %.3f ms; frames 900 to 1000: %.3f ms; late/early %.2fx\n",
                    early * 1e3, late * 1e3, late / early);
      }
    }
    checkTexts(watcher.take(), {}, "no message box");
    FreeLibrary(plugin.module);
    FreeLibrary(api);
    DestroyWindow(view);
    return failures == 0 ? 0 : 1;
  }

 private:
  struct Timed {
    double begin = 0, end = 0, pressed = 0;
    std::vector<double> frameStarts;
  };

  // One press of Start, returning when the run has ended; with escape,
  // another thread presses Escape in the middle of the run.
  Timed runOnce(bool escape) {
    Timed timed;
    timeFrames_(1);
    std::atomic<double> escapePressed{0.0};
    std::thread user;
    if (escape) user = std::thread([&] { pressEscapeMidFrame(escapePressed); });
    timed.begin = now();
    pressButton(control("btnstart"));
    timed.end = now();
    if (user.joinable()) user.join();
    timeFrames_(0);
    timed.pressed = escapePressed.load();
    timed.frameStarts = readFrameStarts(lastFrame_);
    return timed;
  }

  template <class Paths>
  void buildScene(const Paths& paths, int lastFrame) {
    Handle water = host_.addGrid("Water", layout::kGridSide, layout::kGridSide, layout::kWaterSide,
                                 layout::kWaterSide, 0.0f, nullptr);
    // The new spheres are numbered from 0 while no effector is listed.
    int made = 0;
    for (const layout::Path& path : paths) {
      pressButton(control("btneffector"));
      const std::string name = "Effector-" + std::to_string(made++);
      Handle sphere = host_.findTopNode(name.c_str());
      check(sphere != nullptr, "Create New Effector made " + name);
      host_.addLocationKey(sphere, path.firstFrame, path.from[0], path.from[1], path.from[2]);
      host_.addLocationKey(sphere, path.lastFrame, path.to[0], path.to[1], path.to[2]);
    }
    host_.select(water);
    pressButton(control("btnselect"));
    typeInto(control("edit", control("spinstart")), "0");
    typeInto(control("edit", control("spinend")), std::to_string(lastFrame));
    typeInto(control("edit", control("spinstep")), "1");
    pump(100);
  }

  // The moment each frame's time was set, frame by frame from 0. Start
  // sets time 0 twice before its first frame: the last setting counts.
  std::vector<double> readFrameStarts(int lastFrame) {
    const int capacity = lastFrame + 8;
    std::vector<float> frames(capacity);
    std::vector<double> seconds(capacity);
    const int count = std::min(frameTimings_(frames.data(), seconds.data(), capacity), capacity);
    std::vector<double> starts;
    for (int i = 0; i < count; ++i) {
      const auto next = static_cast<float>(starts.size());
      if (frames[i] == next) {
        starts.push_back(seconds[i]);
      } else if (!starts.empty() && frames[i] == next - 1) {
        starts.back() = seconds[i];
      }
    }
    return starts;
  }

  // Mean time a frame took over frames first to last (a frame lasts until
  // the next one starts, the last one until the run ended).
  static double meanFrame(const std::vector<double>& starts, int first, int last, double end) {
    if (static_cast<int>(starts.size()) <= first) return 0;
    const double stop = last + 1 < static_cast<int>(starts.size()) ? starts[last + 1] : end;
    const int count = std::min<int>(last, static_cast<int>(starts.size()) - 1) - first + 1;
    return (stop - starts[first]) / count;
  }

  // Once the status bar shows frame 100, presses Escape with the real
  // keyboard, as a user would while the run is going: at whatever point
  // of a frame the run then is (frameInProgress tells which).
  void pressEscapeMidFrame(std::atomic<double>& pressed) {
    HWND status = control("Statusbar");
    const double started = now();
    // The status bar may still show the last frame of an earlier run.
    while (frameOf(windowText(status)) >= 100 && now() - started < 120) Sleep(1);
    while (frameOf(windowText(status)) < 100 && now() - started < 120) Sleep(1);
    pressed = now();
    sendKey(VK_ESCAPE, false);
    sendKey(VK_ESCAPE, true);
  }

  // The frame that had begun last at that moment, or -1.
  static int frameInProgress(const std::vector<double>& starts, double moment) {
    const auto after = std::upper_bound(starts.begin(), starts.end(), moment);
    return static_cast<int>(after - starts.begin()) - 1;
  }

  HWND control(const std::string& name, HWND within = nullptr) {
    const auto found = within ? controlWindows(within) : controls_;
    const auto it = found.find(name);
    if (it == found.end()) {
      check(false, "the panel has a control named " + name);
      return nullptr;
    }
    return it->second;
  }

  ReferenceHost host_{};
  HWND panel_ = nullptr;
  std::map<std::string, HWND> controls_;
  TimeFramesFn timeFrames_ = nullptr;
  FrameTimingsFn frameTimings_ = nullptr;
  int lastFrame_ = 0;
};

}  // namespace

int benchWholeRun(const std::string& scene, bool escape, int repeats) {
  WholeRun session;
  const int status = session.run(scene, escape, std::max(1, repeats));
  std::printf("%s\n", status == 0 ? "all checks passed" : "some checks FAILED");
  return status;
}

}  // namespace rillmark::testhost
