// The profile (INI) file format of the settings file, on its bytes: finding a value and setting
// values, with no file access.
//
// A line ends at CR LF, at LF or at a CR alone, as on Windows. Blanks around a line are ignored. A
// line that starts with '[' names a section: the text up to the first ']', or to the end of a line
// without one, less the blanks around it; what follows the ']' is ignored. Other lines are keys:
// the name up to the first '=', then the value, both without blanks around them; a line without
// '=' is a key without a value. Keys before the first section belong to no section.
// Section and key names are matched without regard to case; the first matching section and, in
// it, the first matching key count. One pair of enclosing quotes is removed from a value, and a
// name or value ends at a NUL.
//
// The text is in code page 949, or in UTF-8 or UTF-16 when the file starts with their byte-order
// mark; a file keeps its encoding when values are set.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tovrel {

struct Setting {
  std::string_view key;
  std::string_view value;
};

/// The file's text as UTF-8, line for line: what find_value looks in. One decoding serves many
/// reads.
std::string decode_profile(std::string_view file_bytes);

/// The value of a key in a section of the text decode_profile gave; empty if the section or key
/// is missing.
std::string find_value(std::string_view text, std::string_view section, std::string_view key);

/// The file with the keys of a section set to the values, every other byte kept. A replaced key
/// keeps its line and its line break; a new key goes right after the section's last key line (or
/// its section line), before the blank and ';' comment lines that end the section; a new section
/// goes at the end. A written line ends in CR LF unless it keeps a line break; the line before a
/// new one gets CR LF only if it has no line break at all, and a UTF-16 little-endian file that
/// holds only its byte-order mark gets CR LF before its new section. A value with blanks or a
/// quote at either end is written between double quotes, so that it reads back whole. Nothing if a
/// name or value cannot be stored: a line break or NUL in it, blanks around a name, an empty
/// name, a section name with ']', a key that contains '=' or starts with '[', or a character the
/// file's encoding cannot hold.
std::optional<std::string> with_values(std::string_view file_bytes, std::string_view section,
                                       std::span<const Setting> settings);

}  // namespace tovrel
