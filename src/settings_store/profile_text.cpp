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

// The bytes of an ASCII character in an encoding.
std::string ascii_bytes(Encoding encoding, char c) {
  if (encoding == Encoding::Utf16Le) return {c, '\0'};
  if (encoding == Encoding::Utf16Be) return {'\0', c};
  return {c};
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

// The file's text as UTF-8, line feed for line feed.
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

// Splits text at line feeds, each line with its line feed; the last line may lack one. A line
// feed is a whole character: in UTF-16, a two-byte unit at an even offset.
class Lines {
 public:
  Lines(std::string_view text, std::string line_feed)
      : rest_(text), line_feed_(std::move(line_feed)) {}
  explicit Lines(std::string_view text) : Lines(text, "\n") {}

  bool next(std::string_view& line) {
    if (rest_.empty()) return false;
    std::size_t end = rest_.find(line_feed_);
    while (end != std::string_view::npos && end % line_feed_.size() != 0) {
      end = rest_.find(line_feed_, end + 1);
    }
    const std::size_t length =
        end == std::string_view::npos ? rest_.size() : end + line_feed_.size();
    line = rest_.substr(0, length);
    rest_.remove_prefix(length);
    return true;
  }

 private:
  std::string_view rest_;
  std::string line_feed_;
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
    const auto close = text.rfind(']');
    if (close != std::string_view::npos) {
      return {ParsedLine::Kind::Section, up_to_nul(text.substr(1, close - 1)), std::nullopt};
    }
  }
  const auto equals = text.find('=');
  if (equals == std::string_view::npos)
    return {ParsedLine::Kind::Key, up_to_nul(text), std::nullopt};
  return {ParsedLine::Kind::Key, up_to_nul(trim_blanks(text.substr(0, equals))),
          up_to_nul(trim_blanks(text.substr(equals + 1)))};
}

std::string_view without_quotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool has_line_break_or_nul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool is_storable_name(std::string_view name) {
  return !name.empty() && !has_line_break_or_nul(name) && trim_blanks(name).size() == name.size();
}

bool is_storable(std::string_view section, const Setting& setting) {
  return is_storable_name(section) && is_storable_name(setting.key) &&
         setting.key.find('=') == std::string_view::npos && !setting.key.starts_with('[') &&
         !has_line_break_or_nul(setting.value);
}

// Where a key's line goes in the encoded text: over the key's line, or as a new line.
struct KeyLineSpot {
  bool section_found = false;
  bool key_found = false;
  std::size_t begin = 0;        // the key line's first byte, or where the new line goes
  std::size_t end = 0;          // the end of the key line's content
  std::string_view line_break;  // what the line before the new one lacks of a line break
};

// What a new line after text needs first: nothing after a line feed or no text, a line feed
// after a carriage return, both otherwise.
std::string_view line_break_after(std::string_view text, std::string_view line_feed,
                                  std::string_view carriage_return) {
  if (text.empty() || text.ends_with(line_feed)) return "";
  return text.ends_with(carriage_return) ? "\n" : "\r\n";
}

KeyLineSpot find_key_line_spot(const EncodedFile& file, std::string_view utf8,
                               std::string_view section, std::string_view key) {
  const std::string line_feed = ascii_bytes(file.encoding, '\n');
  const std::string carriage_return = ascii_bytes(file.encoding, '\r');
  KeyLineSpot spot;
  Lines encoded_lines(file.text, line_feed), utf8_lines(utf8);
  std::string_view encoded, line;
  std::size_t offset = 0;
  while (encoded_lines.next(encoded) && utf8_lines.next(line)) {
    const std::size_t line_begin = offset;
    offset += encoded.size();
    const ParsedLine parsed = parse_line(line);
    if (parsed.kind == ParsedLine::Kind::Section) {
      if (spot.section_found) break;
      spot.section_found = equal_ignoring_case(parsed.name, section);
    } else if (parsed.kind == ParsedLine::Kind::Key && spot.section_found &&
               equal_ignoring_case(parsed.name, key)) {
      std::string_view content = encoded;
      if (content.ends_with(line_feed)) content.remove_suffix(line_feed.size());
      while (content.ends_with(carriage_return)) content.remove_suffix(carriage_return.size());
      spot.key_found = true;
      spot.begin = line_begin;
      spot.end = line_begin + content.size();
      return spot;
    }
    if (spot.section_found && parsed.kind != ParsedLine::Kind::Blank) {
      spot.begin = offset;
      spot.line_break = line_break_after(encoded, line_feed, carriage_return);
    }
  }
  if (!spot.section_found) {
    spot.begin = file.text.size();
    spot.line_break = line_break_after(file.text, line_feed, carriage_return);
  }
  return spot;
}

std::optional<std::string> with_value(const EncodedFile& file, std::string_view section,
                                      const Setting& setting) {
  const KeyLineSpot spot = find_key_line_spot(file, to_utf8(file), section, setting.key);

  std::string utf8_lines(spot.line_break);
  if (!spot.section_found) utf8_lines += "[" + std::string(section) + "]\r\n";
  utf8_lines += std::string(setting.key) + "=" + std::string(setting.value);
  if (!spot.key_found) utf8_lines += "\r\n";
  const std::optional<std::string> lines = from_utf8(file.encoding, utf8_lines);
  if (!lines) return std::nullopt;

  const std::string_view text = file.text;
  std::string result(text.substr(0, spot.begin));
  result += *lines;
  result += text.substr(spot.key_found ? spot.end : spot.begin);
  return result;
}

}  // namespace

std::string find_value(std::string_view file_bytes, std::string_view section,
                       std::string_view key) {
  return find_decoded_value(decode_profile(file_bytes), section, key);
}

std::string decode_profile(std::string_view file_bytes) {
  return to_utf8(split_at_byte_order_mark(file_bytes));
}

std::string find_decoded_value(std::string_view text, std::string_view section,
                               std::string_view key) {
  section = trim_blanks(section);
  key = trim_blanks(key);
  Lines lines(text);
  std::string_view line;
  bool in_section = false;
  while (lines.next(line)) {
    const ParsedLine parsed = parse_line(line);
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
