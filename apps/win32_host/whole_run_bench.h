// rillmark_win32_host --bench-run a|d [--escape]: a whole run of a
// benchmark scene through the real panel, timed as the user waits for it.
#pragma once

#include <string>

namespace rillmark::testhost {

// Builds the scene with the panel's own buttons, presses Start through the
// panel's handler and prints the run's time and its frame times. With
// escape, Escape is pressed by real input in the middle of a frame and the
// time from the key to the end of the run is printed. Exit code 0 when the
// run did what it should.
int benchWholeRun(const std::string& scene, bool escape);

}  // namespace rillmark::testhost
