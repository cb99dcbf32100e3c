// The run statistics of the information panel, updated once per frame
// while the panel is in view.
#pragma once

#include "sim/frame_context.h"

namespace rillmark {

void UpdateRunStatistics(FrameContext& ctx);

}  // namespace rillmark
