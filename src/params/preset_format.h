// The text of one preset-file line: how a float or an integer is written
// and read back, with the user's locale decimal separator.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rillmark {

// The value (a float widened exactly) rounded to 15 significant digits, trailing zeros
// dropped: fixed notation for decimal exponents -3 to 15 of 0.d1d2..., else
// scientific ("1E20", "1.5E-7"). Zero is "0".
std::string formatPresetFloat(double value, char decimalSeparator);

// A decimal number with optional sign, fraction and exponent, blanks around
// it allowed, converted to the nearest float. Values beyond the float range
// become infinite (or zero when too small), for the setter to clamp.
std::optional<float> parsePresetFloat(std::string_view text, char decimalSeparator);

// A decimal 32-bit integer with an optional sign, blanks around it allowed.
std::optional<std::int32_t> parsePresetInteger(std::string_view text);

}  // namespace rillmark
