#include "settings_store/profile_text.h"

#include <algorithm>

#include "settings_store/cp949.h"
#include "settings_store/unicode_text.h"

namespace tovrel {
namespace {

enum class Encoding { Cp949, Utf8, Utf16Le, Utf16Be };

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool is_utf16(Encoding encoding) {
  return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be;
}

// A settings file taken apart at its byte-order mark.
struct EncodedFile {
  Encoding encoding;
  std::string_view byte_order_mark;
  std::string text;            // what follows the mark, in the file's encoding
  std::string half_character;  // a UTF-16 file's odd last byte, kept at the very end
};

EncodedFile split_at_byte_order_mark(std::string_view file) {
  for (const auto& [encoding, mark] :
       {std::pair{Encoding::Utf8, kUtf8Mark}, std::pair{Encoding::Utf16Le, kUtf16LeMark},
        std::pair{Encoding::Utf16Be, kUtf16BeMark}}) {
    if (!file.starts_with(mark)) continue;
    EncodedFile split{encoding, mark, std::string(file.substr(mark.size())), {}};
    if (is_utf16(encoding) && split.text.size() % 2 != 0) {
      split.half_character = split.text.back();
      split.text.pop_back();
    }
    return split;
  }
  return {Encoding::Cp949, {}, std::string(file), {}};
}

// The file's text as UTF-8. Every ASCII character, CR and LF among them, stays itself, so the
// UTF-8 has the same lines as the encoded text.
std::string to_utf8(const EncodedFile& file) {
  switch (file.encoding) {
    case Encoding::Cp949:
      return cp949_to_utf8(file.text);
    case Encoding::Utf8:
      return sanitize_utf8(file.text);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      return utf16_to_utf8(file.text, file.encoding == Encoding::Utf16Be);
  }
  return {};
}

std::optional<std::string> from_utf8(Encoding encoding, std::string_view utf8) {
  switch (encoding) {
    case Encoding::Cp949:
      return utf8_to_cp949(utf8);
    case Encoding::Utf8:
      return std::string(utf8);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      return utf8_to_utf16(utf8, encoding == Encoding::Utf16Be);
  }
  return std::nullopt;
}

// A line of text and what ends it: CR LF, LF, a CR alone, or nothing at the end of the text.
struct Line {
  std::string_view content;
  std::string_view line_break;
};

// Splits text into lines. A line ends at CR LF, at LF or at a CR alone, as on Windows; in UTF-16
// these are two-byte units at even offsets. Each part of the text is searched once, however its
// lines end.
class Lines {
 public:
  explicit Lines(std::string_view text, Encoding encoding = Encoding::Utf8)
      : text_(text),
        unit_size_(is_utf16(encoding) ? 2 : 1),
        big_endian_(encoding == Encoding::Utf16Be),
        next_cr_(find('\r', 0)),
        next_lf_(find('\n', 0)) {}

  bool next(Line& line) {
    if (at_ == text_.size()) return false;
    const std::size_t content_end = std::min({next_cr_, next_lf_, text_.size()});
    std::size_t line_end = content_end;
    if (content_end < text_.size()) {
      line_end += unit_size_;
      if (content_end == next_cr_ && line_end == next_lf_) line_end += unit_size_;
    }
    line = {text_.substr(at_, content_end - at_),
            text_.substr(content_end, line_end - content_end)};
    at_ = line_end;
    if (next_cr_ < at_) next_cr_ = find('\r', at_);
    if (next_lf_ < at_) next_lf_ = find('\n', at_);
    return true;
  }

 private:
  // The offset of the first character c at or after from, or npos.
  std::size_t find(char c, std::size_t from) const {
    if (unit_size_ == 1) return text_.find(c, from);
    const std::size_t low = big_endian_ ? 1 : 0;
    for (std::size_t at = from; at + 1 < text_.size(); at += 2) {
      if (text_[at + low] == c && text_[at + 1 - low] == '\0') return at;
    }
    return std::string_view::npos;
  }

  std::string_view text_;
  std::size_t unit_size_;
  bool big_endian_;
  std::size_t at_ = 0;
  std::size_t next_cr_, next_lf_;  // npos when there is none after at_
};

std::string_view up_to_nul(std::string_view text) { return text.substr(0, text.find('\0')); }

struct ParsedLine {
  enum class Kind { Blank, Section, Key } kind = Kind::Blank;
  std::string_view name;
  std::optional<std::string_view> value;
};

ParsedLine parse_line(std::string_view line) {
  const std::string_view text = trim_blanks(line);
  if (text.empty()) return {};
  if (text.front() == '[') {
    // The name ends at the first ']', as on Windows, or at the end of a line without one.
    std::string_view name = text.substr(1);
    name = name.substr(0, name.find(']'));
    return {ParsedLine::Kind::Section, trim_blanks(up_to_nul(name)), std::nullopt};
  }
  const auto equals = text.find('=');
  if (equals == std::string_view::npos)
    return {ParsedLine::Kind::Key, up_to_nul(text), std::nullopt};
  return {ParsedLine::Kind::Key, up_to_nul(trim_blanks(text.substr(0, equals))),
          up_to_nul(trim_blanks(text.substr(equals + 1)))};
}

bool is_comment(std::string_view line) { return trim_blanks(line).starts_with(';'); }

bool is_quote(char c) { return c == '"' || c == '\''; }

std::string_view without_quotes(std::string_view value) {
  if (value.size() >= 2 && is_quote(value.front()) && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// A value that reading would change, with blanks or a quote at either end, goes between double
// quotes, which reading takes off again: what is read back is what was saved. Bytes that are no
// UTF-8 read as U+FFFD, no blank.
std::string quoted_where_needed(std::string_view value) {
  const std::string read = sanitize_utf8(value);
  const bool needs_quotes = !read.empty() && (trim_blanks(read).size() != read.size() ||
                                              is_quote(read.front()) || is_quote(read.back()));
  if (!needs_quotes) return std::string(value);
  return '"' + std::string(value) + '"';
}

bool has_line_break_or_nul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool is_storable_name(std::string_view name) {
  return !name.empty() && !has_line_break_or_nul(name) && trim_blanks(name).size() == name.size();
}

// A section name with ']' would read back as the text before it.
bool is_storable(std::string_view section, const Setting& setting) {
  return is_storable_name(section) && section.find(']') == std::string_view::npos &&
         is_storable_name(setting.key) && setting.key.find('=') == std::string_view::npos &&
         !setting.key.starts_with('[') && !has_line_break_or_nul(setting.value);
}

// Where a key's line goes in the encoded text: over the key's line, or as a new line.
struct KeyLineSpot {
  bool section_found = false;
  bool key_found = false;
  std::size_t begin = 0;  // the key line's first byte, or where the new line goes
  std::size_t end = 0;    // the end of the key line's content, before its line break
  // The key's line, or the line before the new one, is the text's last and has no line break.
  bool lacks_line_break = false;
};

KeyLineSpot find_key_line_spot(const EncodedFile& file, std::string_view utf8,
                               std::string_view section, std::string_view key) {
  KeyLineSpot spot;
  Lines encoded_lines(file.text, file.encoding), utf8_lines(utf8);
  Line encoded, line;
  std::size_t offset = 0;
  bool last_lacks_line_break = false;
  while (encoded_lines.next(encoded) && utf8_lines.next(line)) {
    const std::size_t line_begin = offset;
    offset += encoded.content.size() + encoded.line_break.size();
    last_lacks_line_break = encoded.line_break.empty();
    const ParsedLine parsed = parse_line(line.content);
    if (parsed.kind == ParsedLine::Kind::Section) {
      if (spot.section_found) break;
      spot.section_found = equal_ignoring_case(parsed.name, section);
    } else if (parsed.kind == ParsedLine::Kind::Key && spot.section_found &&
               equal_ignoring_case(parsed.name, key)) {
      spot.key_found = true;
      spot.begin = line_begin;
      spot.end = line_begin + encoded.content.size();
      spot.lacks_line_break = last_lacks_line_break;
      return spot;
    }
    // A new key goes right after the section's line or its last key, after its line break
    // whatever it is (a CR alone ends a line as well as CR LF does): blank and comment lines
    // that end the section stay after it.
    if (spot.section_found && parsed.kind != ParsedLine::Kind::Blank && !is_comment(line.content)) {
      spot.begin = offset;
      spot.lacks_line_break = last_lacks_line_break;
    }
  }
  if (!spot.section_found) {
    spot.begin = file.text.size();
    spot.lacks_line_break = last_lacks_line_break;
  }
  return spot;
}

std::optional<std::string> with_value(const EncodedFile& file, std::string_view section,
                                      const Setting& setting) {
  const KeyLineSpot spot = find_key_line_spot(file, to_utf8(file), section, setting.key);

  // A UTF-16 little-endian file that holds only its byte-order mark gets a line break before its
  // first section, as from Windows' own profile functions.
  const bool only_utf16le_mark = file.encoding == Encoding::Utf16Le && file.text.empty();
  std::string utf8_lines;
  if (!spot.key_found && (spot.lacks_line_break || only_utf16le_mark)) utf8_lines += "\r\n";
  if (!spot.section_found) utf8_lines.append("[").append(section).append("]\r\n");
  utf8_lines.append(setting.key).append("=").append(quoted_where_needed(setting.value));
  if (!spot.key_found || spot.lacks_line_break) utf8_lines += "\r\n";
  const std::optional<std::string> lines = from_utf8(file.encoding, utf8_lines);
  if (!lines) return std::nullopt;

  const std::string_view text = file.text;
  std::string result(text.substr(0, spot.begin));
  result += *lines;
  result += text.substr(spot.key_found ? spot.end : spot.begin);
  return result;
}

}  // namespace

std::string decode_profile(std::string_view file_bytes) {
  return to_utf8(split_at_byte_order_mark(file_bytes));
}

std::string find_value(std::string_view text, std::string_view section, std::string_view key) {
  section = trim_blanks(section);
  key = trim_blanks(key);
  Lines lines(text);
  Line line;
  bool in_section = false;
  while (lines.next(line)) {
    const ParsedLine parsed = parse_line(line.content);
    if (parsed.kind == ParsedLine::Kind::Section) {
      if (in_section) break;
      in_section = equal_ignoring_case(parsed.name, section);
    } else if (parsed.kind == ParsedLine::Kind::Key && in_section &&
               equal_ignoring_case(parsed.name, key)) {
      return std::string(without_quotes(parsed.value.value_or("")));
    }
  }
  return {};
}

std::optional<std::string> with_values(std::string_view file_bytes, std::string_view section,
                                       std::span<const Setting> settings) {
  if (!std::all_of(settings.begin(), settings.end(),
                   [&](const Setting& setting) { return is_storable(section, setting); })) {
    return std::nullopt;
  }
  EncodedFile file = split_at_byte_order_mark(file_bytes);
  for (const Setting& setting : settings) {
    std::optional<std::string> text = with_value(file, section, setting);
    if (!text) return std::nullopt;
    file.text = std::move(*text);
  }
  return std::string(file.byte_order_mark) + file.text + file.half_character;
}

}  // namespace tovrel
