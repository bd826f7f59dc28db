// Numbers read from and written as text, the way the alarm reads its hour setting.
#pragma once

#include <string>
#include <string_view>

namespace tovrel::alarm_window {

/// The numeric value of a text. Spaces, tabs and line feeds anywhere are ignored; then a sign,
/// digits with at most one decimal point (always '.') and an exponent (E, a sign, digits) are
/// taken, or "&H" and hexadecimal digits, or "&O" and octal digits (at most 32 bits); reading
/// stops at the first other character. A text without a number is 0.
/// Throws Failure (overflow) for a value too large to hold.
double read_number(std::string_view text);

/// A number in its shortest form: whole numbers without a decimal part, at most 15 significant
/// digits, an exponent ("1E+20", "1E-05") for very large and very small numbers.
std::string write_number(double value, std::string_view decimal_separator);

}  // namespace tovrel::alarm_window
