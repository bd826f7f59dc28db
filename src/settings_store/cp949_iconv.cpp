// Code page 949 through glibc's iconv.
#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "settings_store/cp949.h"
#include "settings_store/unicode_text.h"

namespace tovrel {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert code page 949");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much of in as it can into out; returns false at a character it cannot convert,
  // with in starting at that character.
  bool convert(std::string_view& in, std::string& out) {
    char buffer[4096];
    while (!in.empty()) {
      char* source = const_cast<char*>(in.data());
      std::size_t source_left = in.size();
      char* target = buffer;
      std::size_t target_left = sizeof buffer;
      const std::size_t result = iconv(cd_, &source, &source_left, &target, &target_left);
      const int error = errno;
      out.append(buffer, target);
      in.remove_prefix(in.size() - source_left);
      if (result == static_cast<std::size_t>(-1) && error != E2BIG) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return false;
      }
    }
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string cp949_to_utf8(std::string_view bytes) {
  static Converter decoder("UTF-8", "CP949");
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  while (!decoder.convert(bytes, out)) {
    append_utf8(out, kReplacementCharacter);
    bytes.remove_prefix(1);
  }
  return out;
}

std::optional<std::string> utf8_to_cp949(std::string_view utf8) {
  static Converter encoder("CP949", "UTF-8");
  std::string out;
  out.reserve(utf8.size());
  const std::string_view text = utf8;
  if (!encoder.convert(utf8, out)) return std::nullopt;
  // iconv drops some characters the code page lacks (the Unicode tag characters) instead of
  // refusing them: only text that comes back whole counts as held.
  if (cp949_to_utf8(out) != text) return std::nullopt;
  return out;
}

}  // namespace tovrel
