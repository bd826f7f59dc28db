// The small pieces of Unicode the settings file needs: UTF-8 and UTF-16, blanks, case folding.
#pragma once

#include <string>
#include <string_view>

namespace tovrel {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

/// Appends a code point as UTF-8.
void append_utf8(std::string& out, char32_t code_point);

/// Reads one code point of valid UTF-8 at the front of text and removes it.
char32_t take_code_point(std::string_view& text);

/// The text with every byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string sanitize_utf8(std::string_view bytes);

/// UTF-16 bytes to UTF-8; unpaired surrogates and an odd last byte become U+FFFD.
std::string utf16_to_utf8(std::string_view bytes, bool big_endian);

/// Valid UTF-8 to UTF-16 bytes.
std::string utf8_to_utf16(std::string_view utf8, bool big_endian);

/// White space as the profile functions see it: Unicode white space and ^Z (the DOS end of file).
bool is_blank(char32_t code_point);

/// Valid UTF-8 without blanks at either end.
std::string_view trim_blanks(std::string_view text);

/// Whether two texts of valid UTF-8 are equal without regard to case.
bool equal_ignoring_case(std::string_view a, std::string_view b);

}  // namespace tovrel
