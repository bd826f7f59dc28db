// find_value on arbitrary file bytes.
//
// Property: whatever the bytes and the looked-up names, find_value returns (no crash, no hang)
// valid UTF-8 with no CR, LF or NUL, and the same answer for the names with their ASCII
// letters in the other case. For names of valid UTF-8 it also gives the same answer with blanks
// around the names, and exactly the value the profile rules (read again in fuzz_support.h) give.
//
// Input: the file's bytes, in which the two settings of the real section are looked up. When the
// input holds two bytes 0xFF, it is also read as <file> 0xFF <section> 0xFF <key>. The names of
// the first sections and keys in the file are looked up as well, as UTF-8 and as stored.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "settings_store/profile_text.h"
#include "settings_store/settings_names.h"

namespace {

std::string ascii_upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

void look_up(std::string_view file, const fuzz::FileLines& lines, std::string_view section,
             std::string_view key) {
  const std::string value = tovrel::find_value(tovrel::decode_profile(file), section, key);
  FUZZ_CHECK(fuzz::is_valid_utf8(value), "value of %zu bytes", value.size());
  FUZZ_CHECK(value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
             "value of %zu bytes", value.size());

  FUZZ_CHECK(tovrel::find_value(tovrel::decode_profile(file), ascii_upper(section),
                                ascii_upper(key)) == value,
             "the case of the names changes the answer");
  // Names are UTF-8 text; blanks are told from the bytes only in valid UTF-8.
  if (fuzz::is_valid_utf8(section) && fuzz::is_valid_utf8(key)) {
    const std::string padded_section = " \t\u3000" + std::string(section) + "\x1a\r";
    const std::string padded_key = "\u2003" + std::string(key) + " ";
    FUZZ_CHECK(
        tovrel::find_value(tovrel::decode_profile(file), padded_section, padded_key) == value,
        "blanks around the names change the answer");
    FUZZ_CHECK(value == fuzz::expected_value(lines, section, key), "find_value gave \"%s\"",
               value.c_str());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const fuzz::FileLines lines = fuzz::lines_of(input);
  look_up(input, lines, tovrel::kSettingsSection, tovrel::kHourKey);
  look_up(input, lines, tovrel::kSettingsSection, tovrel::kFileKey);

  const std::size_t second = input.rfind('\xFF');
  const std::size_t first = second == 0 || second == std::string_view::npos
                                ? std::string_view::npos
                                : input.rfind('\xFF', second - 1);
  if (first != std::string_view::npos) {
    const std::string_view file = input.substr(0, first);
    look_up(file, fuzz::lines_of(file), input.substr(first + 1, second - first - 1),
            input.substr(second + 1));
  }

  // Names the file holds: the first few sections, each with its first few keys.
  int sections = 0, keys = 0;
  std::string_view section, stored_section;
  for (std::size_t i = 0; i < lines.text.size() && sections <= 2 && keys < 4; ++i) {
    const fuzz::Line line = fuzz::parse(lines.text[i]);
    if (line.kind == fuzz::Line::Kind::Section) {
      ++sections;
      section = line.name;
      // As stored: from the '[' to the first ']' or the line break, blanks and all.
      const std::string_view stored = lines.stored[i];
      const std::size_t open = stored.find('[');
      stored_section =
          open == std::string_view::npos ? std::string_view() : stored.substr(open + 1);
      stored_section = stored_section.substr(0, stored_section.find_first_of("]\r\n"));
    } else if (line.kind == fuzz::Line::Kind::Key && sections > 0) {
      ++keys;
      look_up(input, lines, section, line.name);
      const std::string_view stored = lines.stored[i];
      look_up(input, lines, stored_section, stored.substr(0, stored.find('=')));
    }
  }
  return 0;
}
