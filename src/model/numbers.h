// Conversions to integers with the rounding each command states, and the
// reading of typed or replied numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelisto {

// Nearest integer, halves to the even neighbour (2.5 → 2, 3.5 → 4).
double roundHalfEven(double v);
// Nearest integer, halves away from zero (2.5 → 3, -2.5 → -3).
double roundHalfAway(double v);

// The leading-number rule: leading blanks skipped, an optional sign, digits
// with an optional decimal point; reading stops at the first character that
// does not fit; a text that does not begin with a number reads 0.
double readLeadingNumber(std::string_view text);

// A typed number and nothing else: blanks around it, an optional sign,
// digits with an optional decimal point (full-width digits, point, sign and
// blanks are taken as their ASCII kin). Nothing for any other text.
std::optional<double> parseNumber(std::string_view text);

// The text with full-width digits, colon, point, signs and blanks made
// ASCII (what a Japanese input method types for them).
std::string asciiFromFullWidth(std::string_view text);

// v rounded half to even, or nothing when the result does not fit int32_t.
std::optional<int32_t> toInt32HalfEven(double v);

// Plain decimal integer text: digits, a minus sign only for negatives.
std::string decimal(int64_t v);

}  // namespace pelisto
