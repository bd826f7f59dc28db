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

// A file's text after its byte-order mark, in the file's own encoding.
struct Body {
  Encoding encoding;
  std::string_view mark;
  std::string bytes;
  std::string tail;  // a UTF-16 file's last half character, kept at the very end

  bool wide() const { return encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be; }

  // The bytes of an ASCII character in this encoding.
  std::string unit(char c) const {
    if (encoding == Encoding::Utf16Le) return {c, '\0'};
    if (encoding == Encoding::Utf16Be) return {'\0', c};
    return {c};
  }
};

Body body_of(std::string_view file) {
  for (const auto& [encoding, mark] :
       {std::pair{Encoding::Utf8, kUtf8Mark}, std::pair{Encoding::Utf16Le, kUtf16LeMark},
        std::pair{Encoding::Utf16Be, kUtf16BeMark}}) {
    if (!file.starts_with(mark)) continue;
    Body body{encoding, mark, std::string(file.substr(mark.size())), {}};
    if (body.wide() && body.bytes.size() % 2 != 0) {
      body.tail = body.bytes.back();
      body.bytes.pop_back();
    }
    return body;
  }
  return {Encoding::Cp949, {}, std::string(file), {}};
}

// The body as UTF-8, line feed for line feed.
std::string decode(const Body& body) {
  switch (body.encoding) {
    case Encoding::Cp949:
      return cp949_to_utf8(body.bytes);
    case Encoding::Utf8:
      return sanitize_utf8(body.bytes);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      return utf16_to_utf8(body.bytes, body.encoding == Encoding::Utf16Be);
  }
  return {};
}

std::optional<std::string> encode(const Body& body, std::string_view utf8) {
  switch (body.encoding) {
    case Encoding::Cp949:
      return utf8_to_cp949(utf8);
    case Encoding::Utf8:
      return std::string(utf8);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
      return utf8_to_utf16(utf8, body.encoding == Encoding::Utf16Be);
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

// Where a key goes in the body: the line to replace, or the place to insert a new line.
struct Placement {
  bool section_found = false;
  bool key_found = false;
  std::size_t begin = 0;  // replaced line's first byte, or the insertion point
  std::size_t end = 0;    // end of the replaced line's content
  std::string_view
      line_break;  // what ends the last line before the insertion point, if it lacks it
};

// What a new line after text needs first: nothing after a line feed or no text, a line feed
// after a carriage return, both otherwise.
std::string_view line_break_after(std::string_view text, std::string_view line_feed,
                                  std::string_view carriage_return) {
  if (text.empty() || text.ends_with(line_feed)) return "";
  return text.ends_with(carriage_return) ? "\n" : "\r\n";
}

Placement place(const Body& body, std::string_view text, std::string_view section,
                std::string_view key) {
  const std::string line_feed = body.unit('\n'), carriage_return = body.unit('\r');
  Placement placement;
  Lines raw_lines(body.bytes, line_feed), text_lines(text);
  std::string_view raw, line;
  std::size_t offset = 0;
  while (raw_lines.next(raw) && text_lines.next(line)) {
    const std::size_t line_begin = offset;
    offset += raw.size();
    const ParsedLine parsed = parse_line(line);
    if (parsed.kind == ParsedLine::Kind::Section) {
      if (placement.section_found) break;
      placement.section_found = equal_ignoring_case(parsed.name, section);
    } else if (parsed.kind == ParsedLine::Kind::Key && placement.section_found &&
               equal_ignoring_case(parsed.name, key)) {
      std::string_view content = raw;
      if (content.ends_with(line_feed)) content.remove_suffix(line_feed.size());
      while (content.ends_with(carriage_return)) content.remove_suffix(carriage_return.size());
      placement.key_found = true;
      placement.begin = line_begin;
      placement.end = line_begin + content.size();
      return placement;
    }
    if (placement.section_found && parsed.kind != ParsedLine::Kind::Blank) {
      placement.begin = offset;
      placement.line_break = line_break_after(raw, line_feed, carriage_return);
    }
  }
  if (!placement.section_found) {
    placement.begin = body.bytes.size();
    placement.line_break = line_break_after(body.bytes, line_feed, carriage_return);
  }
  return placement;
}

std::optional<std::string> with_value(const Body& body, std::string_view section,
                                      const Setting& setting) {
  const Placement placement = place(body, decode(body), section, setting.key);

  std::string utf8_lines(placement.line_break);
  if (!placement.section_found) utf8_lines += "[" + std::string(section) + "]\r\n";
  utf8_lines += std::string(setting.key) + "=" + std::string(setting.value);
  if (!placement.key_found) utf8_lines += "\r\n";
  const std::optional<std::string> lines = encode(body, utf8_lines);
  if (!lines) return std::nullopt;

  const std::string_view bytes = body.bytes;
  std::string result(bytes.substr(0, placement.begin));
  result += *lines;
  result += bytes.substr(placement.key_found ? placement.end : placement.begin);
  return result;
}

}  // namespace

std::string find_value(std::string_view file_bytes, std::string_view section,
                       std::string_view key) {
  return find_decoded_value(decode_profile(file_bytes), section, key);
}

std::string decode_profile(std::string_view file_bytes) { return decode(body_of(file_bytes)); }

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
  Body body = body_of(file_bytes);
  for (const Setting& setting : settings) {
    std::optional<std::string> bytes = with_value(body, section, setting);
    if (!bytes) return std::nullopt;
    body.bytes = std::move(*bytes);
  }
  return std::string(body.mark) + body.bytes + body.tail;
}

}  // namespace tovrel
