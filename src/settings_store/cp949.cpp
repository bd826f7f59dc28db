#include "settings_store/cp949.h"

#include <unordered_map>
#include <vector>

#include "settings_store/cp949_table.h"
#include "settings_store/unicode_text.h"

namespace tovrel {
namespace {

// Bytes below 0x80 are ASCII. A character above it is a lead byte from 0x81 to 0xFE and a trail
// byte from 0x41 to 0x5A, 0x61 to 0x7A or 0x81 to 0xFE.
bool is_lead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

bool is_trail(unsigned char byte) {
  return (byte >= 0x41 && byte <= 0x5A) || (byte >= 0x61 && byte <= 0x7A) ||
         (byte >= 0x81 && byte <= 0xFE);
}

// Every two-byte character of the code page, asked of the platform once.
class Table {
 public:
  static const Table& get() {
    static const Table table;
    return table;
  }

  char32_t decode(unsigned char lead, unsigned char trail) const {
    return characters_[(lead - 0x81) * 256 + trail];
  }

  // The two bytes of a character, or 0 when the code page has none.
  unsigned encode(char32_t c) const {
    const auto found = bytes_.find(c);
    return found == bytes_.end() ? 0 : found->second;
  }

 private:
  Table() : characters_(126 * 256, 0) {
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x41; trail <= 0xFE; ++trail) {
        if (!is_trail(trail)) continue;
        const char32_t c = decode_cp949_pair(lead, trail);
        if (c == 0) continue;
        characters_[(lead - 0x81) * 256 + trail] = c;
        bytes_.emplace(c, (lead << 8) | trail);
      }
    }
  }

  std::vector<char32_t> characters_;
  std::unordered_map<char32_t, unsigned> bytes_;
};

}  // namespace

std::string cp949_to_utf8(std::string_view bytes) {
  const Table& table = Table::get();
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      out += static_cast<char>(byte);
    } else if (is_lead(byte) && i + 1 < bytes.size() &&
               is_trail(static_cast<unsigned char>(bytes[i + 1]))) {
      const char32_t c = table.decode(byte, static_cast<unsigned char>(bytes[++i]));
      append_utf8(out, c == 0 ? kReplacementCharacter : c);
    } else {
      append_utf8(out, kReplacementCharacter);
    }
  }
  return out;
}

std::optional<std::string> utf8_to_cp949(std::string_view utf8) {
  const Table& table = Table::get();
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const char32_t c = take_code_point(utf8);
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    const unsigned pair = table.encode(c);  // 0 also for the U+FFFD of bytes that are not UTF-8
    if (pair == 0) return std::nullopt;
    out += static_cast<char>(pair >> 8);
    out += static_cast<char>(pair & 0xFF);
  }
  return out;
}

}  // namespace tovrel
