// The code page 949 table against glibc's iconv: its characters, and beyond them only Windows'.
#include <gtest/gtest.h>
#include <iconv.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settings_store/cp949.h"
#include "settings_store/unicode_text.h"

namespace tovrel {
namespace {

// A converter of glibc's iconv.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (opened()) iconv_close(cd_);
  }
  bool opened() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // What iconv makes of all of input, or nothing when it refuses any of it.
  std::optional<std::string> convert(std::string input) {
    char out[16];
    char* source = input.data();
    char* target = out;
    std::size_t source_left = input.size(), target_left = sizeof out;
    const std::size_t result = iconv(cd_, &source, &source_left, &target, &target_left);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    if (result == static_cast<std::size_t>(-1) || source_left != 0) return std::nullopt;
    return std::string(out, target);
  }

 private:
  iconv_t cd_;
};

// The characters Windows' code page 949 has and glibc's lacks, by their bytes: the byte 0x80, and
// the user-defined pairs of lead bytes C9 and FE as private-use characters.
std::map<std::string, char32_t> windows_additions() {
  std::map<std::string, char32_t> additions = {{"\x80", 0x80}};
  char32_t c = 0xE000;
  for (const char lead : {'\xC9', '\xFE'}) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail)
      additions[{lead, static_cast<char>(trail)}] = c++;
  }
  return additions;
}

std::string utf8_of(char32_t c) {
  std::string out;
  append_utf8(out, c);
  return out;
}

// A fault is reported with its bytes; after ten, the test gives up.
constexpr int kMostFaults = 10;

TEST(Cp949AgainstIconv, ReadsGlibcsCharactersAndWindowsAdditionsOnly) {
  Iconv glibc("UTF-32LE", "CP949");
  ASSERT_TRUE(glibc.opened());
  std::vector<std::string> inputs;  // every byte, and every pair of a lead byte and another
  for (int first = 0; first <= 0xFF; ++first) {
    inputs.push_back(std::string(1, static_cast<char>(first)));
    for (int second = 0; first >= 0x81 && first <= 0xFE && second <= 0xFF; ++second) {
      inputs.push_back({static_cast<char>(first), static_cast<char>(second)});
    }
  }
  const std::map<std::string, char32_t> additions = windows_additions();
  int characters = 0, faults = 0;
  for (const std::string& bytes : inputs) {
    std::optional<char32_t> expected;
    if (const auto addition = additions.find(bytes); addition != additions.end()) {
      expected = addition->second;
    }
    if (const std::optional<std::string> utf32 = glibc.convert(bytes);
        utf32 && utf32->size() == 4) {
      EXPECT_FALSE(expected) << ::testing::PrintToString(bytes) << " is no longer an addition";
      const auto byte = [&](int i) { return static_cast<char32_t>((*utf32)[i] & 0xFF); };
      expected = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    }
    const std::string ours = cp949_to_utf8(bytes);
    characters += expected.has_value();
    const bool right = expected
                           ? ours == utf8_of(*expected)
                           : ours == "\uFFFD" || ours == "\uFFFD" + cp949_to_utf8(bytes.substr(1));
    if (!right) {
      ADD_FAILURE() << ::testing::PrintToString(bytes) << " reads as " << ours;
      if (++faults == kMostFaults) return;
    }
  }
  EXPECT_EQ(characters, 17'365);  // ASCII, glibc's 17,048 pairs and Windows' 189 additions
}

TEST(Cp949AgainstIconv, WritesGlibcsCharactersAndWindowsAdditionsOnly) {
  Iconv glibc("CP949", "UTF-32LE");
  ASSERT_TRUE(glibc.opened());
  std::map<char32_t, std::string> additions;
  for (const auto& [bytes, c] : windows_additions()) additions[c] = bytes;
  int characters = 0, faults = 0;
  for (char32_t c = 0; c <= 0x10FFFF; c = c == 0xD7FF ? 0xE000 : c + 1) {  // no surrogates
    const std::string utf32 = {static_cast<char>(c), static_cast<char>(c >> 8),
                               static_cast<char>(c >> 16), '\0'};
    std::optional<std::string> expected = glibc.convert(utf32);
    if (expected && expected->empty()) expected.reset();  // glibc drops the tag characters
    if (const auto addition = additions.find(c); addition != additions.end()) {
      EXPECT_FALSE(expected) << "U+" << std::hex << static_cast<unsigned>(c)
                             << " is no longer an addition";
      expected = addition->second;
    }
    const std::optional<std::string> ours = utf8_to_cp949(utf8_of(c));
    characters += ours.has_value();
    if (ours != expected) {
      ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned>(c) << " is written as "
                    << ::testing::PrintToString(ours);
      if (++faults == kMostFaults) return;
    }
  }
  EXPECT_EQ(characters, 17'365);
}

}  // namespace
}  // namespace tovrel
