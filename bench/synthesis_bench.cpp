// Google Benchmark view of the busy pass (scene (b) of bench_scenes.h):
// the production pass on each vector path, the literal pass, and the bare
// host mark call. Reports nanoseconds per vertex-event, the unit the work
// grows in; `make bench` prints the ratios across scenes (synthesis_report).
#include <benchmark/benchmark.h>

#include "bench/bench_scenes.h"
#include "bench/literal_pass.h"
#include "hostapi/host_api.h"
#include "refhost/refhost.h"
#include "sim/wave_kernel.h"
#include "sim/wave_synthesis.h"

namespace {

using namespace rillmark;
using namespace rillmark::bench;

void perVertexEvent(benchmark::State& bench, std::int64_t vertexEvents) {
  bench.counters["per_vertex_event"] =
      benchmark::Counter(static_cast<double>(vertexEvents) * static_cast<double>(bench.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void runBusyPass(benchmark::State& bench, Pass pass) {
  World world;
  buildScene(world, SceneKind::Busy, {.recordKeys = false, .wind = false});
  SceneWork work;
  for (auto _ : bench) {
    work = runScene(world, SceneKind::Busy, pass);
    benchmark::ClobberMemory();
  }
  perVertexEvent(bench, work.vertexEvents);
}

void BM_ProductionPass(benchmark::State& bench) {
  const auto path = static_cast<VectorPath>(bench.range(0));
  if (!vectorPathAvailable(path)) {
    bench.SkipWithError("the processor lacks this vector path");
    return;
  }
  forceVectorPath(path);
  runBusyPass(bench, &SynthesizeFrame);
  forceVectorPath(std::nullopt);
}

void BM_LiteralPass(benchmark::State& bench) { runBusyPass(bench, &literal::SynthesizeFrame); }

// The floor under any pass: the one host call per marked vertex.
void BM_MarkVertexOnly(benchmark::State& bench) {
  World world;
  HostHandle water = refhost::addGrid("Water", 300, 300, 10, 10, 0);
  constexpr int n = 90000;
  for (auto _ : bench) {
    for (int i = 0; i < n; ++i) hostApi().tsxPolyhMarkVertexChange(water, i);
  }
  perVertexEvent(bench, n);
}

BENCHMARK(BM_ProductionPass)
    ->Arg(static_cast<int>(VectorPath::Sse2))
    ->Arg(static_cast<int>(VectorPath::Avx2))
    ->Arg(static_cast<int>(VectorPath::Avx512))
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralPass)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_MarkVertexOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
