#include "soak_margins.h"

#include <algorithm>

namespace rillmark::testhost::soak {

namespace {

std::string kib(long long bytes) { return std::to_string(bytes / 1024) + " KiB"; }

}  // namespace

unsigned baselineAfterMs(int seconds) {
  return std::min(kBaselineLatestMs, static_cast<unsigned>(seconds) * 1000u / 3u);
}

std::string resourceProblems(const Measurement& baseline, const Measurement& end) {
  std::string problems;  // all of them, not only the first
  auto add = [&problems](const std::string& what) { problems += (problems.empty() ? "" : "; ") + what; };
  const Resources& a = baseline.process;
  const Resources& b = end.process;
  auto grew = [](const std::string& what, long long before, long long after) {
    return what + ": " + std::to_string(before) + " at the baseline, " + std::to_string(after) + " at the end";
  };
  if (b.windows != a.windows) add(grew("windows", a.windows, b.windows));
  if (b.threads - a.threads > kThreadMargin) add(grew("threads", a.threads, b.threads));
  if (end.pluginGdiObjects != baseline.pluginGdiObjects)
    add(grew("the plug-in's GDI objects", baseline.pluginGdiObjects, end.pluginGdiObjects));
  if (end.sceneNodes != baseline.sceneNodes) add(grew("scene nodes", baseline.sceneNodes, end.sceneNodes));
  // Wine reports 0 for both where it has no count; then the probed
  // handles below are the check.
  if (b.gdiObjects - a.gdiObjects > 0 || b.userObjects - a.userObjects > 0)
    add(grew("GDI objects", a.gdiObjects, b.gdiObjects) + "; " + grew("USER objects", a.userObjects, b.userObjects));
  // Wine's file dialog keeps one registry key open for each name it
  // returns (see Resources::fileDialogMruKeys): those may grow by as many
  // as the soak gave, every other handle only by the margin.
  const long long mruKeys = b.fileDialogMruKeys - a.fileDialogMruKeys;
  const long long namesGiven = end.fileNamesGiven - baseline.fileNamesGiven;
  if (mruKeys > namesGiven)
    add("Wine's file dialog keys grew by " + std::to_string(mruKeys) + ", more than the " + std::to_string(namesGiven) +
         " names the file dialogs returned");
  if (b.handles - a.handles > kHandleMargin ||
      (b.probedHandles - b.fileDialogMruKeys) - (a.probedHandles - a.fileDialogMruKeys) > kHandleMargin)
    add(grew("handles (probed)", a.probedHandles, b.probedHandles) + ", of them file dialog keys " +
         std::to_string(a.fileDialogMruKeys) + " and " + std::to_string(b.fileDialogMruKeys) +
         " (by type: " + handleTypeChanges(a, b) + ")");
  if (b.committedPrivate - a.committedPrivate > kCommittedMargin)
    add("committed memory grew by " + kib(b.committedPrivate - a.committedPrivate) + ", more than " +
         kib(kCommittedMargin));
  if (b.heapBytes - a.heapBytes > kHeapMargin)
    add("heap memory in use grew by " + kib(b.heapBytes - a.heapBytes) + ", more than " + kib(kHeapMargin));
  return problems;
}

}  // namespace rillmark::testhost::soak
