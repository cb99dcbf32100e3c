// Times the literal and the production synthesis on the benchmark scenes in
// one run and prints both, their ratio, and beside each the bare cost of the
// host calls it made (the floor no synthesis can go below). Built natively
// and for Win32, where it runs under Wine; Google Benchmark has no MinGW
// build, so this program does its own timing: each figure is the minimum of
// several repeats, since the machine is shared.
//
//   synthesis_report [--repeat N] [--scene a|b|c|d]...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "bench/bench_scenes.h"
#include "bench/literal_pass.h"
#include "hostapi/host_api.h"
#include "refhost/host_exports.h"
#include "refhost/refhost.h"
#include "sim/wave_kernel.h"
#include "sim/wave_synthesis.h"

namespace {

using namespace rillmark;
using namespace rillmark::bench;
using Clock = std::chrono::steady_clock;

struct Timing {
  double seconds = std::numeric_limits<double>::infinity();
  long long marks = 0;  // tsxPolyhMarkVertexChange calls of one run
  SceneWork work;
};

Timing timeScene(World& world, SceneKind kind, Pass pass, int repeat) {
  Timing timing;
  for (int i = 0; i < repeat; ++i) {
    refhost::clearCalls();
    const Clock::time_point begin = Clock::now();
    timing.work = runScene(world, kind, pass);
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    timing.seconds = std::min(timing.seconds, seconds);
    timing.marks = refhost::callCount("tsxPolyhMarkVertexChange");
  }
  return timing;
}

// Seconds per bare tsxPolyhMarkVertexChange call into the reference host.
double markCallCost() {
  World world;
  HostHandle grid = refhost::addGrid("Floor", 300, 300, 1, 1, 0);
  double best = std::numeric_limits<double>::infinity();
  constexpr int kVertices = 90000, kRounds = 10;
  const auto mark = hostApi().tsxPolyhMarkVertexChange;
  for (int r = 0; r < 5; ++r) {
    const Clock::time_point begin = Clock::now();
    for (int round = 0; round < kRounds; ++round) {
      for (int i = 0; i < kVertices; ++i) mark(grid, i);
    }
    best = std::min(best, std::chrono::duration<double>(Clock::now() - begin).count() / (kRounds * kVertices));
  }
  return best;
}

// Seconds the reference host takes to key a 300 x 300 water once, as
// Record Keys has it do after every frame: a cost every run pays, literal
// or not. The first run's keys go into new memory, which on a machine where
// touching new pages is slow can outweigh the synthesis; a later run's keys
// reuse the buffers the host kept when Start dropped the earlier keys.
struct KeyingCost {
  double firstRun = 0;
  double laterRun = 0;
};

KeyingCost keyingCost() {
  World world;
  HostHandle grid = refhost::addGrid("Floor", 300, 300, 1, 1, 0);
  const HostApi& api = hostApi();
  constexpr int kFrames = 100;
  const auto keyRun = [&] {
    api.tsxGNodeDeleteScriptTree(grid);
    api.tsxGNodeCreateScriptTree(grid);
    api.tsxSobjAddAttribute(grid, 23);
    const Clock::time_point begin = Clock::now();
    for (int frame = 0; frame < kFrames; ++frame) {
      api.tsxAnimSetActiveTime(static_cast<float>(frame));
      api.tsxSobjSetFrame(grid, 23);
    }
    return std::chrono::duration<double>(Clock::now() - begin).count() / kFrames;
  };
  KeyingCost cost;
  cost.firstRun = keyRun();
  cost.laterRun = keyRun();
  return cost;
}

const char* pathName(VectorPath path) {
  switch (path) {
    case VectorPath::Avx512:
      return "AVX-512";
    case VectorPath::Avx2:
      return "AVX2";
    case VectorPath::Sse2:
      break;
  }
  return "SSE2";
}

void printLine(const char* label, const Timing& t, double markCost) {
  const double perVertexEvent = t.work.vertexEvents > 0 ? t.seconds * 1e9 / static_cast<double>(t.work.vertexEvents) : 0;
  std::printf("  %-20s %10.2f ms  %7.3f ns/vertex-event  host-call floor %9.2f ms (%lld marks)", label,
              t.seconds * 1e3, perVertexEvent, static_cast<double>(t.marks) * markCost * 1e3, t.marks);
  if (t.work.frames > 1) std::printf("  %7.1f frames/s", t.work.frames / t.seconds);
  std::printf("\n");
}

constexpr int kBusyRepeatFactor = 5;

void reportScene(SceneKind kind, int repeat, double markCost) {
  World world;
  // The busy pass runs without Record Keys, so that the literal pass marks
  // exactly the vertex-events its waves have not reached.
  const bool busy = kind == SceneKind::Busy;
  buildScene(world, kind, {.recordKeys = !busy, .wind = false});
  std::printf("%.*s\n", static_cast<int>(sceneName(kind).size()), sceneName(kind).data());

  // The wake's literal run takes a minute: once is enough to compare.
  const int literalRepeat = kind == SceneKind::Wake ? 1 : std::max(1, repeat / 2);
  const Timing literal = timeScene(world, kind, &literal::SynthesizeFrame, literalRepeat);
  printLine("literal", literal, markCost);
  // For scripts that set whole runs beside it (scripts/bench.sh).
  std::printf("  literal pass of %.3s: %.2f ms\n", sceneName(kind).data(), literal.seconds * 1e3);

  for (VectorPath path : {VectorPath::Sse2, VectorPath::Avx2, VectorPath::Avx512}) {
    if (!vectorPathAvailable(path)) continue;
    forceVectorPath(path);
    // One busy pass takes milliseconds, so many more of them fit: a minimum
    // over more runs rides out the other work on a shared machine.
    const Timing production = timeScene(world, kind, &SynthesizeFrame, busy ? repeat * kBusyRepeatFactor : repeat);
    char label[48];
    std::snprintf(label, sizeof label, "production (%s)", pathName(path));
    printLine(label, production, markCost);
    if (busy) {
      const long long evaluated = literal.work.vertexEvents - literal.marks;
      std::printf("  %-20s %10lld vertex-events inside the fronts: %.3f ns each\n", "", evaluated,
                  production.seconds * 1e9 / static_cast<double>(evaluated));
    }
    std::printf("  %-20s %10.1fx\n", "ratio literal/prod.", literal.seconds / production.seconds);
  }
  forceVectorPath(std::nullopt);
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 5;
  std::vector<SceneKind> scenes;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--scene") == 0 && i + 1 < argc) {
      const char c = argv[++i][0];
      scenes.push_back(c == 'a'   ? SceneKind::Falling
                       : c == 'b' ? SceneKind::Busy
                       : c == 'd' ? SceneKind::Wake
                                  : SceneKind::Demo);
    } else {
      std::fprintf(stderr, "usage: %s [--repeat N] [--scene a|b|c|d]...\n", argv[0]);
      return 2;
    }
  }
  if (scenes.empty()) scenes = {SceneKind::Falling, SceneKind::Busy, SceneKind::Demo, SceneKind::Wake};

#ifdef _WIN32
  const char* build = sizeof(void*) == 8 ? "Windows (MinGW x86-64)" : "Win32 (MinGW i686)";
#else
  const char* build = "native (x86-64)";
#endif
  const double markCost = markCallCost();
  std::printf("Rillmark synthesis, %s build; AVX2 %s, AVX-512 %s; minimum of %d runs (busy pass: %d; literal: %d)\n",
              build, vectorPathAvailable(VectorPath::Avx2) ? "available" : "not available",
              vectorPathAvailable(VectorPath::Avx512) ? "available" : "not available", repeat,
              repeat * kBusyRepeatFactor, std::max(1, repeat / 2));
  std::printf("bare host call tsxPolyhMarkVertexChange: %.2f ns\n", markCost * 1e9);
  const KeyingCost keying = keyingCost();
  std::printf("host keying of a 90,000-vertex water (Record Keys, once a frame): %.3f ms in a first run, %.3f ms in a later run\n",
              keying.firstRun * 1e3, keying.laterRun * 1e3);
  for (SceneKind kind : scenes) reportScene(kind, repeat, markCost);
  return 0;
}
