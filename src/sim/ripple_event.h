// One ripple left on the water by an effector: where and when it touched,
// and how wide the effector was.
#pragma once

#include <cstdint>

namespace rillmark {

struct RippleEvent {
  std::int32_t frame;  // CurrentFrame when recorded
  float x;             // effector location
  float y;
  float z;             // recorded, not read by the synthesis
  float size;          // effector extent along x; the ring starts at size / 2
};

static_assert(sizeof(RippleEvent) == 20, "five 32-bit fields");

}  // namespace rillmark
