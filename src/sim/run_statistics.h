// The run statistics of the information panel, updated once per frame
// while the panel is in view.
#pragma once

#include "sim/run_context.h"

namespace rillmark {

void UpdateRunStatistics(RunContext& ctx);

}  // namespace rillmark
