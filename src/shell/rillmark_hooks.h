// The hooks that make the generic plug-in host into Rillmark: its
// description for the host and the control panel on a left click.
#pragma once

#include "shell/plugin_host.h"

namespace rillmark {

inline constexpr const char* kPluginName = "Rillmark";
inline constexpr const char* kPluginAuthor = "Rillmark developers";

void InstallRillmarkHooks(TtSXPluginHost& host);

}  // namespace rillmark
