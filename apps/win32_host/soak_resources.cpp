#include "soak_resources.h"

#include <cstdio>

#include "plugin_gdi_objects.h"
#include "soak_state.h"

namespace rillmark::testhost::soak {

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
  const std::string problems = resourceProblems(baseline, end);
  if (!problems.empty()) fail("from the baseline to the end, " + problems);
}

}  // namespace rillmark::testhost::soak
