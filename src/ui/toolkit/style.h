// How a control looks beyond its geometry: colours, fonts, bevels and text
// alignment. Plain values that both backends read; a colour is an RGB
// triple, or "default" for the window system's own colour of that role.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rillmark::ui {

struct Color {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kWhite{255, 255, 255};
inline constexpr Color kBlack{0, 0, 0};

struct Font {
  std::string name = "MS Sans Serif";
  int height = 11;  // pixels: 8 points at 96 pixels per inch
  bool bold = false;
  bool italic = false;
  bool underline = false;
  std::optional<Color> color;  // none: the window-text colour
  friend bool operator==(const Font&, const Font&) = default;
};

enum class Bevel { None, Lowered, Raised };

enum class TextAlign { Left, Center, Right };

// How a control sits in its parent when the parent is resized.
enum class Align { None, Top, Bottom, Left, Right, Client };

enum class MouseButton { Left, Right, Middle };

// Virtual key codes the model reacts to; the values are Windows' own.
enum Key : int {
  kKeyBack = 0x08,
  kKeyTab = 0x09,
  kKeyReturn = 0x0D,
  kKeyEscape = 0x1B,
  kKeySpace = 0x20,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28,
};

}  // namespace rillmark::ui
