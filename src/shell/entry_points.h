// The bodies of the four exports, shared by the Win32 and the native
// library. Each one runs under the plug-in's floating-point settings (and
// hands the host's back on return) and inside the exception boundary; none
// of them throws.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace rillmark {

// Binds the host API, checks the level and fills the 100-byte description.
// 0 (the hook's result), or -1 after the version message or an error.
int GetDataEntry(Platform& platform, void* description, std::int32_t pluginId) noexcept;
// The left-click hook's result, or -1 after an error.
int LeftClickEntry(Platform& platform) noexcept;
void RightClickEntry(Platform& platform) noexcept;
void DeactivateEntry(Platform& platform) noexcept;

}  // namespace rillmark
