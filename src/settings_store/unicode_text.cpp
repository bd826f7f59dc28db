#include "settings_store/unicode_text.h"

namespace tovrel {
namespace {

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at the front of bytes, or 0 if there is none.
std::size_t valid_sequence_length(std::string_view bytes) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = b(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (bytes.size() < length || b(1) < low || b(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!is_continuation(b(i))) return 0;
  }
  return length;
}

char32_t fold_case(char32_t c) {
  const auto in = [c](char32_t first, char32_t last) { return c >= first && c <= last; };
  if (in('A', 'Z')) return c + 0x20;
  if (in(0xC0, 0xDE) && c != 0xD7) return c + 0x20;     // Latin-1
  if (in(0x391, 0x3AB) && c != 0x3A2) return c + 0x20;  // Greek
  if (in(0x400, 0x40F)) return c + 0x50;                // Cyrillic Ѐ-Џ
  if (in(0x410, 0x42F)) return c + 0x20;                // Cyrillic А-Я
  if (in(0x2160, 0x216F)) return c + 0x10;              // Roman numerals
  if (in(0xFF21, 0xFF3A)) return c + 0x20;              // full-width Latin
  return c;
}

}  // namespace

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char32_t take_code_point(std::string_view& text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = valid_sequence_length(text);
  if (length == 0) {
    text.remove_prefix(1);
    return kReplacementCharacter;
  }
  char32_t c = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i)
    c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
  text.remove_prefix(length);
  return c;
}

std::string sanitize_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t length = valid_sequence_length(bytes);
    if (length == 0) {
      append_utf8(out, kReplacementCharacter);
      bytes.remove_prefix(1);
    } else {
      out.append(bytes.substr(0, length));
      bytes.remove_prefix(length);
    }
  }
  return out;
}

std::string utf16_to_utf8(std::string_view bytes, bool big_endian) {
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return big_endian ? (first << 8) | second : (second << 8) | first;
  };
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t next = unit(i + 2);
      if (next >= 0xDC00 && next <= 0xDFFF) {
        append_utf8(out, 0x10000 + ((u - 0xD800) << 10) + (next - 0xDC00));
        i += 2;
        continue;
      }
    }
    append_utf8(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacementCharacter : u);
  }
  if (i < bytes.size()) append_utf8(out, kReplacementCharacter);
  return out;
}

std::string utf8_to_utf16(std::string_view utf8, bool big_endian) {
  std::string out;
  out.reserve(utf8.size() * 2);
  const auto put = [&](char32_t u) {
    const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
    out += big_endian ? high : low;
    out += big_endian ? low : high;
  };
  while (!utf8.empty()) {
    const char32_t c = take_code_point(utf8);
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
  }
  return out;
}

bool is_blank(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A || c == 0x85 || c == 0xA0 ||
         c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

std::string_view trim_blanks(std::string_view text) {
  while (!text.empty()) {
    std::string_view rest = text;
    if (!is_blank(take_code_point(rest))) break;
    text = rest;
  }
  while (!text.empty()) {
    std::size_t start = text.size() - 1;
    while (start > 0 && is_continuation(static_cast<unsigned char>(text[start]))) --start;
    std::string_view last = text.substr(start);
    if (!is_blank(take_code_point(last))) break;
    text.remove_suffix(text.size() - start);
  }
  return text;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  while (!a.empty() && !b.empty()) {
    if (fold_case(take_code_point(a)) != fold_case(take_code_point(b))) return false;
  }
  return a.empty() && b.empty();
}

}  // namespace tovrel
