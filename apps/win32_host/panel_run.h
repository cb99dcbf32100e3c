// The panel driven by real mouse and keyboard input: see panel_run.cpp.
#pragma once

#include <string>

namespace rillmark::testhost {

// Exit code 0 when every check passed. Screenshots go to the folder (as
// BMP files) unless it is empty.
int runPanelByInput(const std::string& screenshotFolder);

}  // namespace rillmark::testhost
