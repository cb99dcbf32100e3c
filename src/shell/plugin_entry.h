// The bodies of the four exports and of the library notifications, free of
// any OS: the Win32 and the native export files forward to these. Each one
// runs inside the exception boundary, so none of them throws.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace rillmark {

// Notification reasons, as the library's loader wrapper passes them.
enum LibraryReason : int {
  kProcessDetach = 0,
  kProcessAttach = 1,
  kThreadAttach = 2,
  kThreadDetach = 3,
  kCreatePluginHost = 99,
};

// The library's initialisation: creates PluginHost, installs the hooks and
// runs the process attach. False when the attach failed (the message has
// been shown); the loader should then refuse the library.
bool LibraryLoad(Platform& platform);

// processExiting: the whole process is ending, not just this library being
// unloaded. Then nothing is shown, no window is destroyed and the host
// library is left alone: the windows and the host library may already be
// gone, and the loader forbids waiting on them. Returns false when the
// notification's body failed.
bool LibraryNotify(Platform& platform, int reason, bool processExiting = false);

// description: the host's 100-byte record. Returns the get-data hook's
// result, or -1 when the host is too old or anything failed.
std::int32_t tsxGetDataBody(Platform& platform, void* description, std::int32_t pluginId);
// The left-click hook's result, or -1 when it failed.
std::int32_t tsxOnLeftClickBody(Platform& platform);
void tsxOnRightClickBody(Platform& platform);
void tsxDeactivateBody(Platform& platform);

}  // namespace rillmark
