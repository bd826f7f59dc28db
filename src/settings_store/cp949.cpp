// Code page 949 to and from UTF-8, both ways through the one table in cp949_table.inc.
#include "settings_store/cp949.h"

#include <cstdint>
#include <vector>

#include "settings_store/unicode_text.h"

namespace tovrel {
namespace {

#include "settings_store/cp949_table.inc"

// The bytes up to 0x80 are characters alone and stand for themselves: ASCII, and 0x80, which
// Windows' code page 949 takes as U+0080. A character above them is a lead byte from 0x81 to 0xFE
// and a trail byte from 0x41 to 0x5A, 0x61 to 0x7A or 0x81 to 0xFE.
constexpr char32_t kLastSingleByte = 0x80;

bool is_lead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

bool is_trail(unsigned char byte) {
  return (byte >= 0x41 && byte <= 0x5A) || (byte >= 0x61 && byte <= 0x7A) ||
         (byte >= 0x81 && byte <= 0xFE);
}

// The character of a lead and a trail byte, or 0 when the code page has none.
char32_t pair_character(unsigned char lead, unsigned char trail) {
  return kPairCharacters[lead - 0x81][trail - 0x41];
}

// The table turned round: the two bytes of each character below U+10000, lead byte first, 0 for
// none. Only encoding needs it, and only a save encodes, so it is made on first use, not at start.
const std::vector<std::uint16_t>& pairs_by_character() {
  static const std::vector<std::uint16_t> pairs = [] {
    std::vector<std::uint16_t> made(0x10000, 0);
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x41; trail <= 0xFE; ++trail) {
        const char16_t c = kPairCharacters[lead - 0x81][trail - 0x41];
        if (c != 0) made[c] = static_cast<std::uint16_t>(lead << 8 | trail);
      }
    }
    return made;
  }();
  return pairs;
}

// The two bytes of a character, or 0 when the code page has none.
unsigned pair_of(char32_t c) { return c <= 0xFFFF ? pairs_by_character()[c] : 0; }

}  // namespace

std::string cp949_to_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      out += static_cast<char>(byte);  // ASCII, the bulk of the file, one byte in UTF-8 too
    } else if (byte == kLastSingleByte) {
      append_utf8(out, byte);
    } else if (is_lead(byte) && i + 1 < bytes.size() &&
               is_trail(static_cast<unsigned char>(bytes[i + 1]))) {
      const char32_t c = pair_character(byte, static_cast<unsigned char>(bytes[++i]));
      append_utf8(out, c == 0 ? kReplacementCharacter : c);
    } else {
      append_utf8(out, kReplacementCharacter);
    }
  }
  return out;
}

std::optional<std::string> utf8_to_cp949(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const char32_t c = take_code_point(utf8);
    if (c <= kLastSingleByte) {
      out += static_cast<char>(c);
      continue;
    }
    const unsigned pair = pair_of(c);  // 0 also for the U+FFFD of bytes that are not UTF-8
    if (pair == 0) return std::nullopt;
    out += static_cast<char>(pair >> 8);
    out += static_cast<char>(pair & 0xFF);
  }
  return out;
}

}  // namespace tovrel
