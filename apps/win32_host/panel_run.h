// The panel driven by real mouse and keyboard input: see panel_run.cpp.
#pragma once

#include <string>

namespace rillmark::testhost {

// Exit code 0 when every check passed. Screenshots go to the folder (as
// BMP files) unless it is empty. A strict host answers tsxIsSobj only for
// objects in the scene.
int runPanelByInput(const std::string& screenshotFolder, bool strictHost = false);

// Loads the plug-in from a folder the package was unpacked into, clicks
// "?" and the online reference button, and checks that the path handed to
// the shell is that folder's Index.htm.
int checkUnpackedPackage(const std::string& folder);

}  // namespace rillmark::testhost
