#pragma once
// Reading numbers from the start of a text, as the C library's atof and atoi
// do, but by a fixed grammar and without depending on the locale: leading
// white space, an optional sign, digits, an optional decimal point and digits,
// an optional exponent. What follows the number is ignored; a text without a
// leading number reads as 0. "inf", "nan" and hexadecimal forms are not numbers.

#include <cstdint>
#include <string_view>

namespace kestrel {

double ReadDecimalNumber(std::string_view text);

// An optional sign and decimal digits; beyond the 32-bit range the result
// clamps to the nearest bound.
std::int32_t ReadIntegerNumber(std::string_view text);

// Conversion of a double to a 32-bit integer by truncation toward zero; a
// value that is not a number or lies outside the 32-bit range gives
// -2147483648, as the x86-64 conversion instruction does.
std::int32_t TruncateToInt32(double value);

}  // namespace kestrel
