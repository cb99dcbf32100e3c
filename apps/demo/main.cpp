// rillmark_demo: a whole ripple run on a built-in scene, natively. The
// reference host holds a water grid and three falling effector spheres; the
// demo chooses the water, refreshes the effector list and presses Start with
// "Record Keys" on, through the same commands as the panel's buttons. Then
// it reads the water's vertex keys back, frame by frame, and writes them as
// shaded PNG frames and one animated GIF.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "console_panel.h"
#include "demo_options.h"
#include "demo_scene.h"
#include "height_field_image.h"
#include "hostapi/host_api.h"
#include "image_files.h"
#include "params/parameter_set.h"
#include "params/presets.h"
#include "platform/posix/posix_platform.h"
#include "refhost/refhost.h"
#include "scene/effector_list.h"
#include "scene/scene_commands.h"
#include "sim/run_context.h"
#include "sim/run_control.h"
#include "sim/simulation_state.h"

namespace {

using namespace rillmark;

const WavePreset& presetNamed(const std::string& name) {
  if (name == "honey") return kHoneyPreset;
  if (name == "snow") return kSnowPreset;
  return kWaterPreset;
}

// The reference host linked into this program stands in for the host
// library, bound at the highest level.
void bindReferenceHost() {
  refhost::reset();
  refhost::setRecording(false);  // millions of calls; only the counters are kept
  refhost::bindInto(hostApi());
  hostApiLevel() = 430;
}

int writePictures(const std::map<int, std::vector<HostVec3>>& keys, const demo::Options& options) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(options.outputFolder, ec);
  if (ec) {
    std::fprintf(stderr, "cannot create %s: %s\n", options.outputFolder.c_str(), ec.message().c_str());
    return 1;
  }
  const float cell = demo::kWaterSide / static_cast<float>(options.grid - 1);
  const int scale = std::max(1, 480 / options.grid);
  std::vector<demo::IndexedImage> frames;
  std::string error;
  for (const auto& [frame, vertices] : keys) {
    std::vector<float> heights;
    heights.reserve(vertices.size());
    for (const HostVec3& v : vertices) heights.push_back(v.z);
    frames.push_back(demo::renderHeightField(heights, options.grid, options.grid, cell, scale));
    char name[32];
    std::snprintf(name, sizeof name, "frame_%04d.png", frame);
    if (!demo::writePng((fs::path(options.outputFolder) / name).string(), frames.back(), demo::waterPalette(), error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
  }
  const std::string gif = (fs::path(options.outputFolder) / "ripples.gif").string();
  if (!demo::writeAnimatedGif(gif, frames, demo::waterPalette(), 6, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::printf("Wrote %zu PNG frames and %s\n", frames.size(), gif.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = demo::parseOptions(argc, argv, error);
  if (!options) {
    if (!error.empty()) std::fprintf(stderr, "rillmark_demo: %s\n", error.c_str());
    std::fputs(demo::kUsage, error.empty() ? stdout : stderr);
    return error.empty() ? 0 : 2;
  }

  bindReferenceHost();
  SimulationState state;
  ParameterSet params;
  EffectorList effectors;
  demo::ConsolePanel panel;
  PosixPlatform platform;
  SceneCommands commands(state, params, effectors, panel, platform);
  RunContext ctx{state, params, panel, platform, effectors};

  HostHandle water = demo::buildDemoScene(commands, options->grid, options->start, options->end);

  // Select Water with the grid selected in the host, as a user would.
  refhost::select(water);
  commands.btnselectClick();
  std::printf("%s; effectors:", panel.selectCaption().c_str());
  for (const auto& item : effectors.items()) std::printf(" %s%s", item.text.c_str(), item.checked ? " [x]" : " [ ]");
  std::printf("\n");

  applyPreset(params, presetNamed(options->preset));
  params.spinstart.setValue(static_cast<float>(options->start));
  params.spinend.setValue(static_cast<float>(options->end));
  params.spinstep.setValue(static_cast<float>(options->step));
  params.boxrec.setChecked(true);
  state.Counters.InfoPanelVisible = true;  // the information panel is on view
  resetForFormShow(state);
  btnstartClick(ctx);

  const auto keys = refhost::vertexKeys(state.WaterObject);
  float lowest = 0, highest = 0;
  if (!keys.empty()) {
    for (const HostVec3& v : keys.rbegin()->second) {
      lowest = std::min(lowest, v.z);
      highest = std::max(highest, v.z);
    }
  }
  std::printf("Preset %s, frames %d to %d step %d, %dx%d water\n", options->preset.c_str(), options->start,
              options->end, options->step, options->grid, options->grid);
  std::printf("Status: %s\n", panel.status().c_str());
  std::printf("Events recorded: %d; keyed frames: %zu; last frame heights %.4f to %.4f\n", state.Events.EventCount(),
              keys.size(), lowest, highest);
  std::printf("Run statistics:\n");
  panel.printStatistics();
  if (keys.empty()) {
    std::fprintf(stderr, "no vertex keys were recorded\n");
    return 1;
  }
  return writePictures(keys, *options);
}
