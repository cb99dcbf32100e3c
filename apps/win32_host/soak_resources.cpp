#include "soak_resources.h"

#include <algorithm>
#include <cstdio>

#include "plugin_gdi_objects.h"
#include "soak_state.h"

namespace rillmark::testhost::soak {

namespace {

// Both measurements see the same scene, the same panel and no dialog, so
// what may differ is the heaps' fragmentation and the few small things the
// soak itself keeps per action (the names of the files it wrote).
constexpr long long kHeapMargin = 1024 * 1024;
constexpr long long kCommittedMargin = 2 * 1024 * 1024;
constexpr long long kHandleMargin = 4;
constexpr long long kThreadMargin = 2;
constexpr unsigned kBaselineLatestMs = 60000;

std::string kib(long long bytes) { return std::to_string(bytes / 1024) + " KiB"; }

}  // namespace

unsigned baselineAfterMs(int seconds) {
  return std::min(kBaselineLatestMs, static_cast<unsigned>(seconds) * 1000u / 3u);
}

Measurement measureProcess() {
  Measurement m;
  m.process = measure();
  m.pluginGdiObjects = static_cast<long long>(pluginGdiObjects());
  return m;
}

void print(const std::string& when, const Measurement& m) {
  print(when, m.process);
  std::string types;
  for (const auto& [type, n] : m.process.handleTypes) types += " " + type + " " + std::to_string(n) + ";";
  std::printf("%s: the plug-in's GDI objects %lld; scene nodes %lld; handles by type:%s of the keys, %lld kept open "
              "by Wine's file dialog, which has returned %lld names\n",
              when.c_str(), m.pluginGdiObjects, m.sceneNodes, types.c_str(), m.process.fileDialogMruKeys,
              m.fileNamesGiven);
  std::fflush(stdout);
}

void checkResources(const Measurement& baseline, const Measurement& end) {
  std::string problems;  // all of them, not only the first
  auto fail = [&problems](const std::string& what) { problems += (problems.empty() ? "" : "; ") + what; };
  const Resources& a = baseline.process;
  const Resources& b = end.process;
  auto grew = [](const std::string& what, long long before, long long after) {
    return what + ": " + std::to_string(before) + " at the baseline, " + std::to_string(after) + " at the end";
  };
  if (b.windows != a.windows) fail(grew("windows", a.windows, b.windows));
  if (b.threads - a.threads > kThreadMargin) fail(grew("threads", a.threads, b.threads));
  if (end.pluginGdiObjects != baseline.pluginGdiObjects)
    fail(grew("the plug-in's GDI objects", baseline.pluginGdiObjects, end.pluginGdiObjects));
  if (end.sceneNodes != baseline.sceneNodes) fail(grew("scene nodes", baseline.sceneNodes, end.sceneNodes));
  // Wine reports 0 for both where it has no count; then the probed
  // handles below are the check.
  if (b.gdiObjects - a.gdiObjects > 0 || b.userObjects - a.userObjects > 0)
    fail(grew("GDI objects", a.gdiObjects, b.gdiObjects) + "; " + grew("USER objects", a.userObjects, b.userObjects));
  // Wine's file dialog keeps one registry key open for each name it
  // returns (see Resources::fileDialogMruKeys): those may grow by as many
  // as the soak gave, every other handle only by the margin.
  const long long mruKeys = b.fileDialogMruKeys - a.fileDialogMruKeys;
  const long long namesGiven = end.fileNamesGiven - baseline.fileNamesGiven;
  if (mruKeys > namesGiven)
    fail("Wine's file dialog keys grew by " + std::to_string(mruKeys) + ", more than the " + std::to_string(namesGiven) +
         " names the file dialogs returned");
  if (b.handles - a.handles > kHandleMargin ||
      (b.probedHandles - b.fileDialogMruKeys) - (a.probedHandles - a.fileDialogMruKeys) > kHandleMargin)
    fail(grew("handles (probed)", a.probedHandles, b.probedHandles) + ", of them file dialog keys " +
         std::to_string(a.fileDialogMruKeys) + " and " + std::to_string(b.fileDialogMruKeys) +
         " (by type: " + handleTypeChanges(a, b) + ")");
  if (b.committedPrivate - a.committedPrivate > kCommittedMargin)
    fail("committed memory grew by " + kib(b.committedPrivate - a.committedPrivate) + ", more than " +
         kib(kCommittedMargin));
  if (b.heapBytes - a.heapBytes > kHeapMargin)
    fail("heap memory in use grew by " + kib(b.heapBytes - a.heapBytes) + ", more than " + kib(kHeapMargin));
  if (!problems.empty()) soak::fail("from the baseline to the end, " + problems);
}

}  // namespace rillmark::testhost::soak
