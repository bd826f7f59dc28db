// What the fuzzers share: a check that stops the fuzzer, and a reading of the settings file's text
// written from the rules in settings_store/profile_text.h without the reader's own code, so that
// the fuzzers can compare the two. Only the code-page conversions and the case-insensitive
// comparison come from the core: they have tests of their own and are not what is fuzzed here.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings_store/cp949.h"
#include "settings_store/unicode_text.h"

// Stops the fuzzer with a message when a property does not hold; unaffected by NDEBUG.
#define FUZZ_CHECK(condition, ...)                                                          \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
      std::fprintf(stderr, __VA_ARGS__);                                                    \
      std::fprintf(stderr, "\n");                                                           \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)

namespace fuzz {

// ---- UTF-8, decoded here rather than with the core's decoder ----

// The code point of the valid UTF-8 sequence at text[i] and its length; length 0 if none.
struct Decoded {
  char32_t code_point = 0xFFFD;
  std::size_t length = 0;
};

inline Decoded decode_at(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return {lead, 1};
  std::size_t length;
  char32_t c;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, c = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, c = lead & 0x07;
  } else {
    return {};
  }
  if (i + length > text.size()) return {};
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return {};
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
  return {c, length};
}

inline bool is_valid_utf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const Decoded d = decode_at(text, i);
    if (d.length == 0) return false;
    i += d.length;
  }
  return true;
}

// Every byte that starts no valid sequence becomes U+FFFD, as the reader shows such bytes.
inline std::string sanitized(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const Decoded d = decode_at(text, i);
    if (d.length == 0) {
      tovrel::append_utf8(out, tovrel::kReplacementCharacter);
      ++i;
    } else {
      out.append(text.substr(i, d.length));
      i += d.length;
    }
  }
  return out;
}

// ---- The profile rules ----

// Unicode white space (the White_Space property) and ^Z.
inline bool is_blank(char32_t c) {
  switch (c) {
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x20:
    case 0x1A:
    case 0x85:
    case 0xA0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
      return true;
    default:
      return c >= 0x2000 && c <= 0x200A;
  }
}

// The first and last code points; an invalid byte counts as U+FFFD, which is no blank.
inline char32_t first_code_point(std::string_view text) { return decode_at(text, 0).code_point; }
inline char32_t last_code_point(std::string_view text) {
  for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
    const Decoded d = decode_at(text, text.size() - back);
    if (d.length == back) return d.code_point;
  }
  return 0xFFFD;
}

// Text of valid UTF-8 without blanks at either end.
inline std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_blank(first_code_point(text))) {
    text.remove_prefix(decode_at(text, 0).length);
  }
  while (!text.empty() && is_blank(last_code_point(text))) {
    std::size_t back = 1;
    while (decode_at(text, text.size() - back).length != back) ++back;
    text.remove_suffix(back);
  }
  return text;
}

inline std::string_view before_nul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

inline std::string_view unquoted(std::string_view value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The encodings a settings file can be in, told by its first bytes.
enum class Encoding { Cp949, Utf8, Utf16Le, Utf16Be };

inline Encoding encoding_of(std::string_view file) {
  if (file.starts_with("\xEF\xBB\xBF")) return Encoding::Utf8;
  if (file.starts_with("\xFF\xFE")) return Encoding::Utf16Le;
  if (file.starts_with("\xFE\xFF")) return Encoding::Utf16Be;
  return Encoding::Cp949;
}

// A file's lines as they are stored (bytes after the byte-order mark; UTF-16 as UTF-8) and as
// text. A line keeps its line break; the last line may lack one; an empty last line is no line. The
// last byte of a UTF-16 file of odd length, half a character, is no part of the text: it is kept
// apart, at the very end of the file.
struct FileLines {
  Encoding encoding;
  std::vector<std::string> stored;
  std::vector<std::string> text;
  std::string tail;
};

// A line break is CR LF, LF, or a CR that no LF follows.
inline std::vector<std::string> split_lines(std::string_view body) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < body.size(); ++i) {
    lines.back() += body[i];
    const bool cr_before_lf = body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n';
    if ((body[i] == '\r' || body[i] == '\n') && !cr_before_lf) lines.emplace_back();
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

inline FileLines lines_of(std::string_view file) {
  FileLines lines{encoding_of(file), {}, {}, {}};
  switch (lines.encoding) {
    case Encoding::Cp949:
      lines.stored = split_lines(file);
      for (const std::string& line : lines.stored)
        lines.text.push_back(tovrel::cp949_to_utf8(line));
      break;
    case Encoding::Utf8:
      lines.stored = split_lines(file.substr(3));
      for (const std::string& line : lines.stored) lines.text.push_back(sanitized(line));
      break;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
      std::string_view body = file.substr(2);
      if (body.size() % 2 != 0) {
        lines.tail = body.substr(body.size() - 1);
        body.remove_suffix(1);
      }
      lines.stored = split_lines(tovrel::utf16_to_utf8(body, lines.encoding == Encoding::Utf16Be));
      lines.text = lines.stored;
      break;
    }
  }
  return lines;
}

// One line of text, read by the profile rules.
struct Line {
  enum class Kind { Blank, Section, Key } kind = Kind::Blank;
  std::string_view name;
  std::optional<std::string_view> value;
};

inline Line parse(std::string_view line) {
  const std::string_view text = trimmed(line);
  if (text.empty()) return {};
  if (text[0] == '[') {
    // Any line that starts with '[' is a section. Its name stops at the first ']' or NUL, or at
    // the end of the line, and has no blanks around it.
    std::size_t stop = 1;
    while (stop < text.size() && text[stop] != ']' && text[stop] != '\0') ++stop;
    return {Line::Kind::Section, trimmed(text.substr(1, stop - 1)), std::nullopt};
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return {Line::Kind::Key, before_nul(text), std::nullopt};
  return {Line::Kind::Key, before_nul(trimmed(text.substr(0, equals))),
          before_nul(trimmed(text.substr(equals + 1)))};
}

// The index of the line that holds a key: the first matching key in the first matching section.
inline std::optional<std::size_t> key_line(const std::vector<std::string>& text,
                                           std::string_view section, std::string_view key) {
  bool in_section = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const Line line = parse(text[i]);
    if (line.kind == Line::Kind::Section) {
      if (in_section) return std::nullopt;
      in_section = tovrel::equal_ignoring_case(line.name, section);
    } else if (line.kind == Line::Kind::Key && in_section &&
               tovrel::equal_ignoring_case(line.name, key)) {
      return i;
    }
  }
  return std::nullopt;
}

// What find_value should answer for names of valid UTF-8, from the file's lines.
inline std::string expected_value(const FileLines& lines, std::string_view section,
                                  std::string_view key) {
  const std::optional<std::size_t> at = key_line(lines.text, trimmed(section), trimmed(key));
  if (!at) return {};
  return std::string(unquoted(parse(lines.text[*at]).value.value_or("")));
}

}  // namespace fuzz
