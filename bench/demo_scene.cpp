#include "bench/demo_scene.h"

#include <algorithm>
#include <string>

#include "refhost/refhost.h"
#include "scene/scene_helpers.h"

namespace demo {

namespace {

struct Fall {
  float x, y;
  float entry;  // fraction of the frame range at which the sphere meets the water
};

// A sphere of radius 0.4 moving down 0.1 units a frame takes about eight
// frames to pass the water, leaving rings all the way.
constexpr Fall kFalls[] = {{-1.8f, 1.2f, 0.05f}, {1.5f, -1.4f, 0.3f}, {0.6f, 2.0f, 0.55f}};
constexpr float kSinkPerFrame = 0.1f;
constexpr float kDropHeight = 2.0f;

}  // namespace

HostHandle buildDemoScene(const std::function<std::string()>& createEffector, int gridSide, int firstFrame,
                          int lastFrame) {
  HostHandle water = refhost::addGrid("Water", gridSide, gridSide, kWaterSide, kWaterSide, 0.0f);
  const float span = static_cast<float>(std::max(1, lastFrame - firstFrame));
  for (const Fall& fall : kFalls) {
    HostHandle sphere = rillmark::FindObjectByName(createEffector());
    const float entry = static_cast<float>(firstFrame) + fall.entry * span;
    const float fallFrames = kDropHeight / kSinkPerFrame;
    refhost::addLocationKey(sphere, entry - fallFrames, {fall.x, fall.y, kDropHeight});
    refhost::addLocationKey(sphere, entry + fallFrames, {fall.x, fall.y, -kDropHeight});
  }
  return water;
}

}  // namespace demo
