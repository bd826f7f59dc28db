// The characters of code page 949, as glibc's iconv knows them.
#include <iconv.h>

#include <stdexcept>

#include "settings_store/cp949_table.h"

namespace tovrel {

char32_t decode_cp949_pair(unsigned char lead, unsigned char trail) {
  static const iconv_t decoder = [] {
    const iconv_t cd = iconv_open("UTF-32LE", "CP949");
    if (cd == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error("iconv knows no code page 949");
    return cd;
  }();
  char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  unsigned char out[8];
  char* source = in;
  std::size_t source_left = sizeof in;
  char* target = reinterpret_cast<char*>(out);
  std::size_t target_left = sizeof out;
  const std::size_t result = iconv(decoder, &source, &source_left, &target, &target_left);
  iconv(decoder, nullptr, nullptr, nullptr, nullptr);
  // One character from both bytes, or the pair is not a character of the code page.
  if (result == static_cast<std::size_t>(-1) || source_left != 0 || target_left != sizeof out - 4) {
    return 0;
  }
  return out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
}

}  // namespace tovrel
