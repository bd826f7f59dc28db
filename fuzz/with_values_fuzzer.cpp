// with_values, then find_value, on arbitrary file bytes and values.
//
// Properties, when with_values gives a file:
//  (a) find_value on it gives, for every key written (the last setting of a key counts), the value
//      as it was written, blanks and quotes at its ends included (compared in UTF-8; a value that
//      is not valid UTF-8 is read with U+FFFD for its bad bytes);
//  (b) the file keeps its encoding, and every line of the old file except the replaced key lines
//      is still there, byte for byte (UTF-16 files: character for character) and in the same
//      order, the last one perhaps with CR LF added if it had no line break, and a UTF-16 file's
//      half character stays last; the only other lines are the written "key=value" lines (the
//      value between double quotes where it begins or ends with a blank or a quote) and,
//      when the file has no such section, the section's header, each with a line break;
//  (c) writing the same settings into it again gives it back unchanged, and reading it twice
//      gives the same answers.
// And with_values gives nothing exactly when a name or value cannot be stored: an empty name,
// blanks around a name, a line break or NUL anywhere, ']' in the section, '=' in a key or '[' at
// its start, or, in a code page 949 file, a character that code page lacks in a line to be
// written (a key line, or the section's header when the file has no such section).
//
// Input: <flags> <A> 0xFF <B> 0xFF <C> 0xFF <file bytes>; see Layout below.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "settings_store/profile_text.h"
#include "settings_store/settings_names.h"

namespace {

// flags bits 0-1, the settings: 0 {hour = A}, 1 {file = A}, 2 {hour = A, file = B},
//                                3 {C = A, hour = B}
// flags bit 2: the section is C rather than the real one.
// flags bits 3-4, the values: 0 A and B as UTF-8 (bad bytes made U+FFFD), 1 A and B as code points
//   (two bytes for one below U+8000, three for any other), 2 A and B as they are, even when not
//   UTF-8, 3 as 0, with the section and first key named as in the file's first section.
// flags bit 5: one more setting after the others: the first key in upper case, set to B.
struct Layout {
  std::uint8_t flags = 0;
  std::string_view a, b, c, file;
};

Layout layout_of(std::string_view input) {
  Layout layout;
  if (input.empty()) return layout;
  layout.flags = static_cast<std::uint8_t>(input[0]);
  input.remove_prefix(1);
  std::string_view* fields[] = {&layout.a, &layout.b, &layout.c};
  for (std::string_view* field : fields) {
    const std::size_t end = input.find('\xFF');
    *field = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  }
  layout.file = input;
  return layout;
}

std::string code_points(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i + 1 < bytes.size();) {
    const auto byte = [&](std::size_t k) {
      return static_cast<char32_t>(static_cast<unsigned char>(bytes[k]));
    };
    char32_t c;
    if (byte(i) < 0x80) {
      c = byte(i) << 8 | byte(i + 1);
      i += 2;
    } else if (i + 2 < bytes.size()) {
      c = ((byte(i) & 0x7F) << 16 | byte(i + 1) << 8 | byte(i + 2)) % 0x110000;
      i += 3;
    } else {
      break;
    }
    if (c < 0xD800 || c > 0xDFFF) tovrel::append_utf8(out, c);
  }
  return out;
}

std::string ascii_upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// ---- What may be stored ----

bool has_line_break_or_nul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool storable_name(std::string_view name) {
  return !name.empty() && !has_line_break_or_nul(name) &&
         !fuzz::is_blank(fuzz::first_code_point(name)) &&
         !fuzz::is_blank(fuzz::last_code_point(name));
}

bool code_page_holds(std::string_view utf8) { return tovrel::utf8_to_cp949(utf8).has_value(); }

bool has_section(std::string_view file, std::string_view section) {
  for (const std::string& text : fuzz::lines_of(file).text) {
    const fuzz::Line line = fuzz::parse(text);
    if (line.kind == fuzz::Line::Kind::Section && tovrel::equal_ignoring_case(line.name, section)) {
      return true;
    }
  }
  return false;
}

// Key lines are always written whole; the section's header only when the file has no such section.
bool storable(std::string_view file, std::string_view section,
              const std::vector<tovrel::Setting>& settings) {
  const fuzz::Encoding encoding = fuzz::encoding_of(file);
  // "[a]b]" names the section "a".
  if (!storable_name(section) || section.find(']') != std::string_view::npos) return false;
  if (encoding == fuzz::Encoding::Cp949 && !has_section(file, section) &&
      !code_page_holds(section)) {
    return false;
  }
  for (const tovrel::Setting& setting : settings) {
    if (!storable_name(setting.key) || setting.key.find('=') != std::string_view::npos ||
        setting.key.starts_with('[') || has_line_break_or_nul(setting.value)) {
      return false;
    }
    if (encoding == fuzz::Encoding::Cp949 &&
        !(code_page_holds(setting.key) && code_page_holds(setting.value))) {
      return false;
    }
  }
  return true;
}

// The settings that count: for each key (without regard to case), its last setting.
std::vector<tovrel::Setting> last_of_each_key(const std::vector<tovrel::Setting>& settings) {
  std::vector<tovrel::Setting> last;
  for (const tovrel::Setting& setting : settings) {
    bool replaced = false;
    for (tovrel::Setting& kept : last) {
      if (tovrel::equal_ignoring_case(kept.key, setting.key)) kept = setting, replaced = true;
    }
    if (!replaced) last.push_back(setting);
  }
  return last;
}

// The value as its line holds it: between double quotes where it begins or ends with a blank or a
// quote, which reading would take off.
std::string as_stored(const std::string& value) {
  const auto quote = [](char c) { return c == '"' || c == '\''; };
  const bool quoted = !value.empty() && (fuzz::is_blank(fuzz::first_code_point(value)) ||
                                         fuzz::is_blank(fuzz::last_code_point(value)) ||
                                         quote(value.front()) || quote(value.back()));
  return quoted ? '"' + value + '"' : value;
}

std::string without_line_end(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return std::string(line);
}

// (b): the old lines, less the replaced key lines, in order in the new file; nothing else added.
void check_lines_kept(std::string_view before, std::string_view after, std::string_view section,
                      const std::vector<tovrel::Setting>& written) {
  const fuzz::FileLines old_lines = fuzz::lines_of(before);
  const fuzz::FileLines new_lines = fuzz::lines_of(after);
  FUZZ_CHECK(old_lines.encoding == new_lines.encoding, "the file changed its encoding");
  FUZZ_CHECK(old_lines.tail == new_lines.tail, "a UTF-16 file's half character moved or changed");

  std::vector<bool> replaced(old_lines.stored.size(), false);
  for (const tovrel::Setting& setting : written) {
    if (const auto at = fuzz::key_line(old_lines.text, section, setting.key)) replaced[*at] = true;
  }

  std::vector<bool> kept(new_lines.stored.size(), false);
  std::size_t next = 0;
  for (std::size_t i = 0; i < old_lines.stored.size(); ++i) {
    if (replaced[i]) continue;
    const std::string& line = old_lines.stored[i];
    // A lone CR ends a line as LF does; only a last line with neither may get CR LF.
    const bool last_without_break =
        i + 1 == old_lines.stored.size() && !line.ends_with('\n') && !line.ends_with('\r');
    std::size_t j = next;
    while (j < new_lines.stored.size() && new_lines.stored[j] != line &&
           !(last_without_break && new_lines.stored[j] == line + "\r\n")) {
      ++j;
    }
    FUZZ_CHECK(j < new_lines.stored.size(), "old line %zu of %zu is lost or out of order", i + 1,
               old_lines.stored.size());
    kept[j] = true;
    next = j + 1;
  }

  // A section the file has gets no second header, whatever its brackets hold besides the name.
  std::vector<std::string> allowed;
  if (!has_section(before, section)) allowed.push_back("[" + fuzz::sanitized(section) + "]");
  // A UTF-16 little-endian file that holds only its byte-order mark gets a line break first.
  if (old_lines.encoding == fuzz::Encoding::Utf16Le && old_lines.stored.empty()) {
    allowed.push_back("");
  }
  for (const tovrel::Setting& setting : written) {
    allowed.push_back(fuzz::sanitized(std::string(setting.key)) + "=" +
                      as_stored(fuzz::sanitized(setting.value)));
  }
  std::size_t added = 0;
  for (std::size_t j = 0; j < new_lines.stored.size(); ++j) {
    if (kept[j]) continue;
    ++added;
    const std::string& written_line = new_lines.text[j];
    FUZZ_CHECK(written_line.ends_with('\n') || written_line.ends_with('\r'),
               "new line %zu has no line break", j + 1);
    const std::string line = without_line_end(written_line);
    bool known = false;
    for (const std::string& text : allowed) known = known || line == text;
    FUZZ_CHECK(known, "new line %zu is neither a written key nor the section: \"%s\"", j + 1,
               line.c_str());
  }
  FUZZ_CHECK(added <= allowed.size(), "%zu lines added for %zu keys", added, written.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Layout in = layout_of(std::string_view(reinterpret_cast<const char*>(data), size));

  const unsigned value_form = (in.flags >> 3) & 3;
  std::string a, b;
  switch (value_form) {
    case 1:
      a = code_points(in.a), b = code_points(in.b);
      break;
    case 2:
      a = in.a, b = in.b;
      break;
    default:
      a = fuzz::sanitized(in.a), b = fuzz::sanitized(in.b);
  }
  std::string section =
      (in.flags & 4) ? fuzz::sanitized(in.c) : std::string(tovrel::kSettingsSection);
  std::string first_key = (in.flags & 3) == 3 ? fuzz::sanitized(in.c) : std::string();
  if (value_form == 3) {
    // The names of the file's first section and of its first key.
    const fuzz::FileLines lines = fuzz::lines_of(in.file);
    bool in_section = false;
    for (const std::string& text : lines.text) {
      const fuzz::Line line = fuzz::parse(text);
      if (line.kind == fuzz::Line::Kind::Section) {
        if (in_section) break;
        in_section = true;
        section = line.name;
      } else if (line.kind == fuzz::Line::Kind::Key && in_section) {
        first_key = line.name;
        break;
      }
    }
  }

  std::vector<tovrel::Setting> settings;
  switch (in.flags & 3) {
    case 0:
      settings = {{tovrel::kHourKey, a}};
      break;
    case 1:
      settings = {{tovrel::kFileKey, a}};
      break;
    case 2:
      settings = {{tovrel::kHourKey, a}, {tovrel::kFileKey, b}};
      break;
    case 3:
      settings = {{first_key, a}, {tovrel::kHourKey, b}};
      break;
  }
  const std::string upper_key = ascii_upper(settings[0].key);
  if (in.flags & 0x20) settings.push_back({upper_key, b});

  const std::optional<std::string> result = tovrel::with_values(in.file, section, settings);
  FUZZ_CHECK(result.has_value() == storable(in.file, section, settings),
             "with_values %s a file for section \"%s\"", result ? "wrote" : "refused",
             section.c_str());
  if (!result) return 0;

  // (a)
  const std::vector<tovrel::Setting> written = last_of_each_key(settings);
  std::vector<std::string> answers;
  for (const tovrel::Setting& setting : written) {
    const std::string expected = fuzz::sanitized(setting.value);
    answers.push_back(tovrel::find_value(tovrel::decode_profile(*result), section, setting.key));
    FUZZ_CHECK(answers.back() == expected, "key \"%s\" reads back \"%s\", not \"%s\"",
               std::string(setting.key).c_str(), answers.back().c_str(), expected.c_str());
  }

  // (b)
  check_lines_kept(in.file, *result, section, written);

  // (c)
  const std::optional<std::string> again = tovrel::with_values(*result, section, settings);
  FUZZ_CHECK(again == result, "writing the same settings again changed the file");
  for (std::size_t i = 0; i < written.size(); ++i) {
    FUZZ_CHECK(
        tovrel::find_value(tovrel::decode_profile(*result), section, written[i].key) == answers[i],
        "a second reading of key \"%s\" differs", std::string(written[i].key).c_str());
  }
  return 0;
}
