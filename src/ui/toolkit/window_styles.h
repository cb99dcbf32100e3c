// The window style bits and hit-test codes that forms compute with. They
// have the values of the Windows constants, so creation parameters worked
// out by portable code are handed to CreateWindowEx unchanged, and the
// headless backend and unit tests see the very numbers Windows would.
#pragma once

#include <cstdint>

namespace rillmark::ui {

inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsPopup = 0x80000000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsClipSiblings = 0x04000000;
inline constexpr std::uint32_t kWsClipChildren = 0x02000000;
inline constexpr std::uint32_t kWsCaption = 0x00C00000;  // border + dialog frame
inline constexpr std::uint32_t kWsBorder = 0x00800000;
inline constexpr std::uint32_t kWsDlgFrame = 0x00400000;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000;
inline constexpr std::uint32_t kWsThickFrame = 0x00040000;
inline constexpr std::uint32_t kWsMinimizeBox = 0x00020000;
inline constexpr std::uint32_t kWsMaximizeBox = 0x00010000;

inline constexpr std::uint32_t kWsExDlgModalFrame = 0x00000001;
inline constexpr std::uint32_t kWsExToolWindow = 0x00000080;
inline constexpr std::uint32_t kWsExWindowEdge = 0x00000100;
inline constexpr std::uint32_t kWsExControlParent = 0x00010000;

// Answers to the non-client hit test (WM_NCHITTEST).
inline constexpr int kHtClient = 1;
inline constexpr int kHtCaption = 2;

}  // namespace rillmark::ui
