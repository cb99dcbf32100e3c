// What this plug-in does at each entry: its description, and the control
// panel on a left click. Every other hook does nothing.
#pragma once

#include "shell/plugin_host.h"

namespace rillmark {

inline constexpr const char* kPluginName = "Rillmark";
inline constexpr const char* kPluginAuthor = "Rillmark developers";

void installPluginHooks(TtSXPluginHost& host);

}  // namespace rillmark
