// Where the benchmark scenes put the water and the effectors. Shared by the
// benchmark programs, which build the scenes in the reference host they
// link, and by the Win32 test host, which builds the same scenes through
// the real panel: both then record the same events.
#pragma once

#include <array>
#include <cstdint>

namespace rillmark::bench::layout {

inline constexpr int kGridSide = 300;  // 90,000 vertices
inline constexpr float kWaterSide = 10.0f;

// (a) falling: ten effectors sinking 0.1 a frame through the water, each at
// its own place, entering one after another; frames 0 to 199.
inline constexpr int kFallingLastFrame = 199;
inline constexpr int kFallingEffectors = 10;

// A deterministic spread of numbers in [0, 1).
class Spread {
 public:
  float next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<float>(state_ >> 8) / 16777216.0f;
  }

 private:
  std::uint32_t state_ = 12345;
};

// Two location keys: the effector is at `from` at frame `firstFrame` and at
// `to` at frame `lastFrame`.
struct Path {
  float firstFrame;
  float from[3];
  float lastFrame;
  float to[3];
};

inline std::array<Path, kFallingEffectors> fallingPaths() {
  std::array<Path, kFallingEffectors> paths{};
  Spread spread;
  for (int i = 0; i < kFallingEffectors; ++i) {
    const float x = (spread.next() - 0.5f) * 0.8f * kWaterSide;
    const float y = (spread.next() - 0.5f) * 0.8f * kWaterSide;
    const float entry = 5.0f + 18.0f * static_cast<float>(i);
    paths[i] = {entry - 20.0f, {x, y, 2.0f}, entry + 20.0f, {x, y, -2.0f}};
  }
  return paths;
}

// (d) wake: one effector gliding across the water at its height, touching
// it in every frame from 0 to 1000, so every frame records one event.
inline constexpr int kWakeLastFrame = 1000;
inline constexpr Path kWakePath{0.0f, {-4.0f, -3.0f, 0.0f}, 1000.0f, {4.0f, 3.0f, 0.0f}};

}  // namespace rillmark::bench::layout
