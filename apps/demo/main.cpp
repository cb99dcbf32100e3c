// rillmark_demo: a whole ripple run on a built-in scene, natively, driven
// through the control panel as a user drives it. The reference host holds
// a water grid; the demo opens the panel on the headless backend, presses
// Create New Effector three times (the spheres get falling keys), selects
// the water in the host, clicks "Select Water", the preset button, types
// Start, End and Step, shows the information panel and clicks Start. Then
// it reads the water's vertex keys back, frame by frame, and writes them as
// shaded PNG frames and one animated GIF.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/demo_scene.h"
#include "demo_options.h"
#include "height_field_image.h"
#include "hostapi/host_api.h"
#include "image_files.h"
#include "platform/posix/posix_platform.h"
#include "refhost/refhost.h"
#include "ui/control_panel.h"
#include "ui/headless/headless_backend.h"
#include "ui/headless/headless_user.h"

namespace {

using namespace rillmark;
using ui::headless::HeadlessUser;

// The reference host linked into this program stands in for the host
// library, bound at the highest level.
void bindReferenceHost() {
  refhost::reset();
  refhost::setRecording(false);  // millions of calls; only the counters are kept
  refhost::bindInto(hostApi());
  hostApiLevel() = 430;
}

const ui::Control& presetButton(const TForm1& panel, const std::string& preset) {
  if (preset == "honey") return *panel.BitBtn2;
  if (preset == "snow") return *panel.BitBtn5;
  return *panel.btnwater;
}

// Types a number into a spinner's edit box and presses Enter.
void typeInto(HeadlessUser& user, const TGlideSpinner& spinner, int value) {
  user.click(spinner.edit());
  user.selectAll();
  user.type(std::to_string(value));
  user.pressKey(ui::kKeyReturn);
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

void printStatistics(const TForm1& panel) {
  const std::pair<const char*, const ui::Label*> rows[] = {
      {"Total Events:", panel.labevents}, {"Events/sec:", panel.labevsec}, {"Proc. Verts:", panel.labverts},
      {"Verts/Sec:", panel.labvertsec},   {"Frames:", panel.labframes},    {"Time/Frame:", panel.labtpf},
      {"Tot. Time:", panel.labtime},      {"Time Left:", panel.labetime},
  };
  for (const auto& [caption, label] : rows) std::printf("  %-13s %s\n", caption, label->caption().c_str());
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
  PosixPlatform platform;
  setActivePlatform(&platform);
  ui::headless::install();
  HeadlessUser user(platform);
  Form1 = new TForm1(nullptr);
  TForm1& panel = *Form1;
  panel.show();

  int created = 0;
  const HostHandle water = demo::buildDemoScene(
      [&] {
        user.click(*panel.btneffector);
        return "Effector-" + std::to_string(created++);
      },
      options->grid, options->start, options->end);

  // Select Water with the grid selected in the host, as a user would.
  refhost::select(water);
  user.click(*panel.btnselect);
  std::printf("%s; effectors:", panel.btnselect->caption().c_str());
  for (const auto& item : panel.Effectors.items())
    std::printf(" %s%s", item.text.c_str(), item.checked ? " [x]" : " [ ]");
  std::printf("\n");

  user.click(presetButton(panel, options->preset));
  // End first, so that a Start beyond the old End is not clamped.
  typeInto(user, *panel.spinend, options->end);
  typeInto(user, *panel.spinstart, options->start);
  typeInto(user, *panel.spinstep, options->step);
  user.click(*panel.btninfo);  // the information panel is on view during the run
  user.click(*panel.btnstart);

  const SimulationState& state = ModuleSimulation();
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
  std::printf("Status: %s\n", panel.Statusbar->caption().c_str());
  std::printf("Events recorded: %d; keyed frames: %zu; last frame heights %.4f to %.4f\n", state.Events.EventCount(),
              keys.size(), lowest, highest);
  std::printf("Run statistics:\n");
  printStatistics(panel);
  delete Form1;
  if (keys.empty()) {
    std::fprintf(stderr, "no vertex keys were recorded\n");
    return 1;
  }
  return writePictures(keys, *options);
}
