// One synthesis pass over a 300 x 300 water grid with 100 live events: the
// work of one frame of a busy run. Reports nanoseconds per vertex-event, the
// unit the work grows in.
#include <benchmark/benchmark.h>

#include <string_view>

#include "hostapi/host_api.h"
#include "params/parameter_set.h"
#include "platform/headless/headless_platform.h"
#include "refhost/host_exports.h"
#include "refhost/refhost.h"
#include "scene/effector_list.h"
#include "sim/run_context.h"
#include "sim/simulation_state.h"
#include "sim/wave_synthesis.h"

namespace {

using namespace rillmark;

class SilentView : public RunView {
 public:
  void setStatusText(std::string_view) override {}
  void repaintStatus() override {}
  void processMessages() override {}
  void showStatistic(StatisticLabel, std::string_view) override {}
  void repaintInfoPanel() override {}
  void setSelectCaption(std::string_view) override {}
  void enableContinueAndStop() override {}
};

void BM_SynthesizeFrame(benchmark::State& bench) {
  const int side = static_cast<int>(bench.range(0));
  const int events = static_cast<int>(bench.range(1));
  refhost::reset();
  refhost::setRecording(false);  // only the per-function counters
  refhost::bindInto(hostApi());
  hostApiLevel() = 430;

  SimulationState state;
  ParameterSet params;
  SilentView view;
  HeadlessPlatform platform;
  EffectorList effectors;
  RunContext ctx{state, params, view, platform, effectors};

  state.WaterObject = refhost::addGrid("Water", side, side, 10, 10, 0);
  tsxGNodeCopy(state.WaterObject, &state.WaterRestCopy);
  // Events spread over the grid and over the last 40 frames, all live.
  for (int e = 0; e < events; ++e) {
    const float x = -4.0f + 8.0f * static_cast<float>(e % 10) / 9.0f;
    const float y = -4.0f + 8.0f * static_cast<float>(e / 10 % 10) / 9.0f;
    state.Events.append({e % 40, x, y, 0, 0.6f});
  }
  const float t = 45;
  for (auto _ : bench) {
    SynthesizeFrame(ctx, state.WaterObject, t);
    benchmark::ClobberMemory();
  }
  if (state.Counters.VertexCount != side * side) bench.SkipWithError("the pass did not reach the host");
  const double vertexEvents = static_cast<double>(side) * side * events;
  // Inverted rate: seconds per vertex-event, printed in nanoseconds.
  bench.counters["per_vertex_event"] = benchmark::Counter(
      vertexEvents * static_cast<double>(bench.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  hostApi() = HostApi{};
  hostApiLevel() = 0;
  refhost::reset();
}

// The floor under the pass: the one host call it makes per vertex and
// event (marking the vertex for keying), with no wave arithmetic. Read the
// pass's figure as a ratio to this one, measured in the same run.
void BM_MarkVertexOnly(benchmark::State& bench) {
  const int side = static_cast<int>(bench.range(0));
  const int events = static_cast<int>(bench.range(1));
  refhost::reset();
  refhost::setRecording(false);
  HostHandle water = refhost::addGrid("Water", side, side, 10, 10, 0);
  const int n = side * side;
  for (auto _ : bench) {
    for (int e = 0; e < events; ++e)
      for (int i = 0; i < n; ++i) tsxPolyhMarkVertexChange(water, i);
  }
  bench.counters["per_vertex_event"] = benchmark::Counter(
      static_cast<double>(n) * events * static_cast<double>(bench.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  refhost::reset();
}

BENCHMARK(BM_SynthesizeFrame)->Args({300, 100})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkVertexOnly)->Args({300, 100})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
