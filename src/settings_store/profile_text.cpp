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

// A file's text in a form whose line feeds and ASCII punctuation are never part of another
// character: code page 949 bytes, or UTF-8 for the Unicode encodings.
struct Body {
  Encoding encoding;
  std::string bytes;
};

Body body_of(std::string_view file) {
  if (file.starts_with(kUtf8Mark)) return {Encoding::Utf8, std::string(file.substr(3))};
  if (file.starts_with(kUtf16LeMark)) return {Encoding::Utf16Le, utf16_to_utf8(file.substr(2), false)};
  if (file.starts_with(kUtf16BeMark)) return {Encoding::Utf16Be, utf16_to_utf8(file.substr(2), true)};
  return {Encoding::Cp949, std::string(file)};
}

std::string file_of(const Body& body) {
  switch (body.encoding) {
    case Encoding::Cp949:
      return body.bytes;
    case Encoding::Utf8:
      return std::string(kUtf8Mark) + body.bytes;
    case Encoding::Utf16Le:
      return std::string(kUtf16LeMark) + utf8_to_utf16(body.bytes, false);
    case Encoding::Utf16Be:
      return std::string(kUtf16BeMark) + utf8_to_utf16(body.bytes, true);
  }
  return body.bytes;
}

// The body as UTF-8, line feed for line feed.
std::string decode(const Body& body) {
  return body.encoding == Encoding::Cp949 ? cp949_to_utf8(body.bytes) : sanitize_utf8(body.bytes);
}

std::optional<std::string> encode(Encoding encoding, std::string_view utf8) {
  if (encoding == Encoding::Cp949) return utf8_to_cp949(utf8);
  return std::string(utf8);
}

// Splits text at line feeds; the last line may lack one.
class Lines {
 public:
  explicit Lines(std::string_view text) : rest_(text) {}
  bool next(std::string_view& line) {
    if (done_) return false;
    const auto end = rest_.find('\n');
    if (end == std::string_view::npos) {
      line = rest_;
      done_ = true;
      return !line.empty();
    }
    line = rest_.substr(0, end + 1);
    rest_.remove_prefix(end + 1);
    return true;
  }

 private:
  std::string_view rest_;
  bool done_ = false;
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
  if (equals == std::string_view::npos) return {ParsedLine::Kind::Key, up_to_nul(text), std::nullopt};
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
  bool needs_line_break = false;  // the insertion point follows a last line without a line feed
};

Placement place(std::string_view body, std::string_view text, std::string_view section,
                std::string_view key) {
  Placement placement;
  Lines raw_lines(body), text_lines(text);
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
      if (content.ends_with('\n')) content.remove_suffix(1);
      if (content.ends_with('\r')) content.remove_suffix(1);
      placement.key_found = true;
      placement.begin = line_begin;
      placement.end = line_begin + content.size();
      return placement;
    }
    if (placement.section_found && parsed.kind != ParsedLine::Kind::Blank) {
      placement.begin = offset;
      placement.needs_line_break = !raw.ends_with('\n');
    }
  }
  if (!placement.section_found) {
    placement.begin = body.size();
    placement.needs_line_break = !body.empty() && !body.ends_with('\n');
  }
  return placement;
}

std::optional<std::string> with_value(Body& body, std::string_view section, const Setting& setting) {
  const std::string text = decode(body);
  const Placement placement = place(body.bytes, text, section, setting.key);

  std::string utf8_lines;
  if (!placement.section_found) utf8_lines = "[" + std::string(section) + "]\r\n";
  utf8_lines += std::string(setting.key) + "=" + std::string(setting.value);
  if (!placement.key_found) utf8_lines += "\r\n";
  const std::optional<std::string> lines = encode(body.encoding, utf8_lines);
  if (!lines) return std::nullopt;

  const std::string_view bytes = body.bytes;
  std::string result(bytes.substr(0, placement.begin));
  if (placement.needs_line_break) result += "\r\n";
  result += *lines;
  result += bytes.substr(placement.key_found ? placement.end : placement.begin);
  return result;
}

}  // namespace

std::string find_value(std::string_view file_bytes, std::string_view section, std::string_view key) {
  section = trim_blanks(section);
  key = trim_blanks(key);
  const std::string text = decode(body_of(file_bytes));
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
  return file_of(body);
}

}  // namespace tovrel
