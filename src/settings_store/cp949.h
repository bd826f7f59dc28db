// Code page 949, the Korean code page in which the settings file holds its text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovrel {

/// Code page 949 bytes to UTF-8. A byte that starts no character, and a lead and trail byte that
/// the code page gives no character, become U+FFFD; ASCII bytes, a line feed among them, always
/// stay themselves.
std::string cp949_to_utf8(std::string_view bytes);

/// UTF-8 to code page 949, or nothing if the text has a character the code page cannot hold
/// (also when the text is not valid UTF-8).
std::optional<std::string> utf8_to_cp949(std::string_view utf8);

}  // namespace tovrel
