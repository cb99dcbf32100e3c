#include "bake_run.h"

#include <algorithm>
#include <chrono>

#include "bake_host.h"
#include "commands/run_commands.h"
#include "commands/run_view.h"
#include "commands/scene_commands.h"
#include "hostapi/host_calls.h"
#include "platform/headless/headless_platform.h"
#include "refhost/refhost.h"
#include "scene/scene_helpers.h"
#include "sim/event_detection.h"
#include "sim/simulation_state.h"

namespace bake {

namespace {

using namespace rillmark;

// A platform without windows: messages are kept for the program to print,
// and the clock is the real one.
class BakePlatform : public HeadlessPlatform {
 public:
  std::uint32_t tickCount() override {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
};

// What the panel would show goes nowhere; message processing is where a
// stop request reaches the run, as the panel's Stop button does.
class BakeView : public RunView, public SetupView {
 public:
  BakeView(const volatile std::sig_atomic_t* stop) : stop_(stop) {}
  void attach(RunContext* ctx) { ctx_ = ctx; }
  bool stopped() const { return stopped_; }

  void setStatusText(std::string_view) override {}
  void processMessages() override {
    if (stop_ && *stop_ && ctx_ && !stopped_) {
      stopped_ = true;
      btnstopClick(*ctx_);
    }
  }
  void showStatistic(StatisticLabel, std::string_view) override {}
  void repaintInfoPanel() override {}
  void setSelectCaption(std::string_view) override {}
  void enableContinueAndStop() override {}
  void enableStartAndEffectors() override {}
  int currentEffectorItem() override { return -1; }

 private:
  const volatile std::sig_atomic_t* stop_;
  RunContext* ctx_ = nullptr;
  bool stopped_ = false;
};

}  // namespace

bool isTableFullMessage(const std::string& message) { return message == kEventTableFullMessage; }

RunOutcome runSimulation(BakeHost& host, ParameterSet& params, const RunRequest& request) {
  SimulationState state;
  EffectorList effectors;
  BakeView view(request.stop);
  BakePlatform platform;
  SceneCommands commands(state, params, effectors, view, platform);
  RunContext ctx{state, params, view, platform, effectors};
  view.attach(&ctx);

  // Select Water with the water selected, as a user chooses it: the
  // effector list is filled and the prefixed names are checked.
  refhost::select(request.water);
  commands.btnselectClick();
  for (int i = 0; i < effectors.count(); ++i) {
    const std::string& name = effectors.item(i).text;
    if (std::find(request.effectors.begin(), request.effectors.end(), name) != request.effectors.end())
      effectors.setChecked(i, true);
  }
  if (request.windSource) state.WindSourceObject = FindObjectByName(kWindSourceName);
  state.Synthesis.bands = request.bands;

  RunOutcome outcome;
  host.onDraw = [&] {
    const int n = host::tsxPolyhGetNbrVxs(state.WaterObject);
    const HostVec3* vertices = host::tsxPolyhGetVxArray(state.WaterObject);
    if (!vertices || n < 0) return;
    ++outcome.frames;
    if (request.onFrame) request.onFrame(state.Counters.CurrentFrame, {vertices, static_cast<std::size_t>(n)});
  };
  if (request.onFrameStart) host.onTime = [&] { request.onFrameStart(state.WaterObject); };
  try {
    btnstartClick(ctx);
  } catch (...) {
    host.onDraw = nullptr;
    host.onTime = nullptr;
    throw;
  }
  host.onDraw = nullptr;
  host.onTime = nullptr;
  outcome.events = state.Events.EventCount();
  outcome.vertices = host::tsxIsSobj(state.WaterObject) ? host::tsxPolyhGetNbrVxs(state.WaterObject) : 0;
  outcome.stopped = view.stopped();
  outcome.messages = platform.messages;
  return outcome;
}

}  // namespace bake
