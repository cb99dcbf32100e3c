// What happens while the library is loaded and unloaded. The library entry
// point of each platform forwards its notifications here; nothing thrown
// inside reaches the loader.
#pragma once

#include "platform/platform.h"

namespace rillmark {

enum LibraryNotifyReason : int {
  kProcessDetach = 0,
  kProcessAttach = 1,
  kThreadAttach = 2,
  kThreadDetach = 3,
  kCreatePluginHost = 99,
};

// The library's initialisation: creates PluginHost, installs the plug-in's
// hooks and runs the process attach. The host API stays unbound. False
// when the load must fail (the plug-in host could not be made, or the
// attach failed).
bool LibraryLoad(Platform& platform);

// reason as above. The process notifications run under the plug-in's
// floating-point settings; the thread notifications, which come on any
// thread and only run hooks that do nothing, leave the settings alone.
// processExit (detach only): the process is ending rather
// than the library being unloaded; then neither windows nor the host
// library are touched, since both may already be gone. Returns whether the
// notification completed.
bool LibraryNotify(Platform& platform, int reason, bool processExit = false);

}  // namespace rillmark
