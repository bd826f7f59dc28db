// Inputs on which the fuzzers under fuzz/ found a property broken, kept as tests.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings_store/cp949.h"
#include "settings_store/profile_text.h"

namespace tovrel {
namespace {

std::string cp949(std::string_view utf8) { return utf8_to_cp949(utf8).value(); }

const std::string kSetupFile = cp949("[환경설정]\r\n일어날 시간=7\r\n원하는 파일=/음악/아침 노래.mp3\r\n");

// Code page 949 has no Unicode tag characters (U+E0000 to U+E007F), but glibc's iconv drops them
// from UTF-8 without an error instead of refusing them. A name or value holding one was written
// without it, so the file said something other than what was saved: "/음악/노래\U000E0067.mp3"
// was stored as "/음악/노래.mp3", a key with one replaced the plain key, and a lone tag character
// was stored as an empty value. Found by with_values_fuzzer; its smallest input is the four bytes
// C8 E3 00 0A (the hour set to U+E000A in an empty file).
struct TagCase {
  const char* description;
  std::string file;  // code page 949
  std::string section;
  std::string key;
  std::string value;
};
void PrintTo(const TagCase& c, std::ostream* out) { *out << c.description; }

class TagCharacterInCodePage949 : public ::testing::TestWithParam<TagCase> {};

TEST_P(TagCharacterInCodePage949, IsRefusedLikeAnyCharacterTheCodePageLacks) {
  const TagCase& c = GetParam();
  const Setting settings[] = {{c.key, c.value}};
  const std::optional<std::string> written = with_values(c.file, c.section, settings);
  EXPECT_EQ(written, std::nullopt) << c.description;
  if (written) {
    EXPECT_EQ(find_value(*written, c.section, c.key), c.value) << "what was written reads back";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fuzzing, TagCharacterInCodePage949,
    ::testing::Values(
        TagCase{"lone tag character as the hour, empty file", "", "환경설정", "일어날 시간", "\U000E0001"},
        TagCase{"tag character in the path", kSetupFile, "환경설정", "원하는 파일",
                "/음악/노래\U000E0067.mp3"},
        TagCase{"tag character in the key", kSetupFile, "환경설정", "일어날 시간\U000E0001", "8"},
        TagCase{"tag character in a new section's name", kSetupFile, "다른\U000E007F", "x", "1"}));

// The files in a Unicode encoding hold tag characters like any other: only code page 949 refuses.
TEST(TagCharacterInUnicodeFiles, IsWrittenAndReadBack) {
  const Setting settings[] = {{"원하는 파일", "/음악/노래\U000E0067.mp3"}};
  for (const std::string mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
    const std::optional<std::string> written = with_values(mark, "환경설정", settings);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(find_value(*written, "환경설정", "원하는 파일"), "/음악/노래\U000E0067.mp3");
  }
}

}  // namespace
}  // namespace tovrel
