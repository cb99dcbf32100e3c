// The preview: the water's heights each frame as the demo's shaded
// height-field picture, all frames in one looping GIF. Water that is not a
// regular grid is sampled onto one: each cell takes the mean height of the
// vertices that fall in it, and an empty cell that of its nearest filled
// neighbour.
#pragma once

#include <memory>
#include <string>

#include "frame_writers.h"

namespace bake {

// True when this build can write GIF previews.
bool previewAvailable();

std::unique_ptr<FrameWriter> makePreviewWriter(const std::string& path);

}  // namespace bake
