// rillmark_win32_host --bench-run a|d [--escape | --repeat N]: whole runs
// of a benchmark scene through the real panel, timed as the user waits.
#pragma once

#include <string>

namespace rillmark::testhost {

// Builds the scene with the panel's own buttons, presses Start through the
// panel's handler `repeats` times and prints the fastest run's time and
// frame times. With escape, one run follows in which Escape is pressed by
// real input in the middle of a frame, and the time from the key to the
// end of the run is printed. Exit code 0 when the runs did what they should.
int benchWholeRun(const std::string& scene, bool escape, int repeats);

}  // namespace rillmark::testhost
