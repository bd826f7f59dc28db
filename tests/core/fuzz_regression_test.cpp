// Inputs on which the fuzzers under fuzz/ found a property broken, kept as tests.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/expected_texts.h"
#include "settings_store/cp949.h"
#include "settings_store/profile_text.h"

namespace tovrel {
namespace {

using testing::cp949;

const std::string kSetupFile =
    cp949("[환경설정]\r\n일어날 시간=7\r\n원하는 파일=/음악/아침 노래.mp3\r\n");

// Code page 949 has no Unicode tag characters (U+E0000 to U+E007F), but glibc's iconv, through
// which settings were once encoded, drops them from UTF-8 without an error instead of refusing
// them. A name or value holding one was written without it, so the file said something other than
// what was saved: "/음악/노래\U000E0067.mp3" was stored as "/음악/노래.mp3", a key with one
// replaced the plain key, and a lone tag character was stored as an empty value. Found by
// with_values_fuzzer; its smallest input is the four bytes C8 E3 00 0A (the hour set to U+E000A in
// an empty file).
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
    EXPECT_EQ(find_value(decode_profile(*written), c.section, c.key), c.value)
        << "what was written reads back";
  }
}

INSTANTIATE_TEST_SUITE_P(Fuzzing, TagCharacterInCodePage949,
                         ::testing::Values(TagCase{"lone tag character as the hour, empty file", "",
                                                   "환경설정", "일어날 시간", "\U000E0001"},
                                           TagCase{"tag character in the path", kSetupFile,
                                                   "환경설정", "원하는 파일",
                                                   "/음악/노래\U000E0067.mp3"},
                                           TagCase{"tag character in the key", kSetupFile,
                                                   "환경설정", "일어날 시간\U000E0001", "8"},
                                           TagCase{"tag character in a new section's name",
                                                   kSetupFile, "다른\U000E007F", "x", "1"}));

// The files in a Unicode encoding hold tag characters like any other: only code page 949 refuses.
TEST(TagCharacterInUnicodeFiles, IsWrittenAndReadBack) {
  const Setting settings[] = {{"원하는 파일", "/음악/노래\U000E0067.mp3"}};
  for (const std::string mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
    const std::optional<std::string> written = with_values(mark, "환경설정", settings);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(find_value(decode_profile(*written), "환경설정", "원하는 파일"),
              "/음악/노래\U000E0067.mp3");
  }
}

// The pair A2 E8 is in neither glibc's code page 949 nor our table (later versions of Windows may
// give it U+327E). glibc's iconv, through which the file was once decoded, reports it as an error
// only after passing both bytes, and cp949_to_utf8 then skipped one byte more. The byte after the
// pair was lost, a line feed with it, so the next line joined the pair's line: a key written there
// read back as nothing and was written again on every save. At the end of the text the extra skip
// went past the end and iconv read beyond the buffer (a crash when the settings file ends in these
// two bytes). Found by with_values_fuzzer and find_value_fuzzer; their smallest inputs:
// 04 FF FF 61 FF 5B 61 5D 0A A2 E8 0A (the hour set to "" in section "a" of "[a]\n\xA2\xE8\n"),
// and A2 E8 (a file of those two bytes).
struct PairCase {
  const char* description;
  std::string bytes;
  std::string after;  // what must follow the pair's character, as UTF-8
};
void PrintTo(const PairCase& c, std::ostream* out) { *out << c.description; }

class UnknownPairA2E8 : public ::testing::TestWithParam<PairCase> {};

TEST_P(UnknownPairA2E8, BecomesOneCharacterAndKeepsWhatFollows) {
  const std::string text = cp949_to_utf8(GetParam().bytes);
  // The pair reads as U+327E, or as one or two replacement characters for the unknown bytes.
  bool kept = false;
  for (const std::string pair : {"\u327E", "\uFFFD", "\uFFFD\uFFFD"}) {
    kept = kept || text == pair + GetParam().after;
  }
  EXPECT_TRUE(kept) << GetParam().description << ": " << ::testing::PrintToString(text);
}

INSTANTIATE_TEST_SUITE_P(Fuzzing, UnknownPairA2E8,
                         ::testing::Values(PairCase{"before a line feed", "\xA2\xE8\nx=1", "\nx=1"},
                                           PairCase{"before a letter",
                                                    "\xA2\xE8"
                                                    "AB",
                                                    "AB"},
                                           PairCase{"before a Korean character", "\xA2\xE8\xC0\xCF",
                                                    "일"},
                                           PairCase{"at the end", "\xA2\xE8", ""}));

TEST(UnknownPairA2E8InTheFile, LeavesTheLinesAsTheyAre) {
  const std::string file =
      cp949("[환경설정]\n원하는 파일=/a") + "\xA2\xE8" + "\n" + cp949("일어날 시간=7\n");
  EXPECT_EQ(find_value(decode_profile(file), "환경설정", "일어날 시간"), "7");

  const std::string ending = cp949("[환경설정]\r\n원하는 파일=/a") + "\xA2\xE8";
  const std::string path = find_value(decode_profile(ending), "환경설정", "원하는 파일");
  EXPECT_TRUE(path == "/a\u327E" || path == "/a\uFFFD" || path == "/a\uFFFD\uFFFD")
      << ::testing::PrintToString(path);

  const std::string lf_file = cp949("[환경설정]\n원하는 파일=/a") + "\xA2\xE8" + "\nx=1\n";
  const Setting hour[] = {{"일어날 시간", "8"}};
  const std::optional<std::string> saved = with_values(lf_file, "환경설정", hour);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(find_value(decode_profile(*saved), "환경설정", "일어날 시간"), "8");
  EXPECT_EQ(with_values(*saved, "환경설정", hour), saved) << "saving again adds a line";
}

// A key on the last line, ended by a carriage return without a line feed, kept that carriage
// return when its value was set, and a new key after it got a line break of its own: "\r\r\n".
// Writing the same settings again then took the first "\r" as part of the key's line and dropped
// it, so saving twice gave two different files. Found by with_values_fuzzer; its smallest input:
// 07 FF FF 61 FF 5B 61 5D 0A 61 0D (the keys "a" and the hour set to "" in "[a]\na\r").
struct TwiceCase {
  const char* description;
  std::string file;
  std::string section;
  std::vector<Setting> settings;
};
void PrintTo(const TwiceCase& c, std::ostream* out) { *out << c.description; }

class SavingTwice : public ::testing::TestWithParam<TwiceCase> {};

TEST_P(SavingTwice, GivesTheSameFile) {
  const TwiceCase& c = GetParam();
  const std::optional<std::string> once = with_values(c.file, c.section, c.settings);
  ASSERT_TRUE(once.has_value());
  EXPECT_EQ(with_values(*once, c.section, c.settings), once) << c.description;
  for (const Setting& setting : c.settings) {
    EXPECT_EQ(find_value(decode_profile(*once), c.section, setting.key), setting.value)
        << c.description;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fuzzing, SavingTwice,
    ::testing::Values(TwiceCase{"smallest", "[a]\na\r", "a", {{"a", ""}, {"일어날 시간", ""}}},
                      TwiceCase{
                          "both settings into a file whose last line ends in a carriage return",
                          cp949("[환경설정]\r\n일어날 시간=7\r"),
                          "환경설정",
                          {{"일어날 시간", "8"}, {"원하는 파일", "/음악/아침 노래.mp3"}}},
                      TwiceCase{"UTF-16",
                                std::string("\xFF\xFE[\0a\0]\0\n\0a\0\r\0", 14),
                                "a",
                                {{"a", "1"}, {"b", "2"}}}));

// A UTF-16 file whose last character is cut to one byte: since values are set in the file's own
// bytes, the new lines went in after that odd byte, a byte off from every character, so nothing
// written could be read back and each save added the section again. The odd byte now stays last.
// Found by with_values_fuzzer on 5f0756d; its smallest input: 00 38 FF FF FF FF FE 0B (the hour set
// to "8" in FF FE 0B).
struct OddCase {
  const char* description;
  std::string file;
};
void PrintTo(const OddCase& c, std::ostream* out) { *out << c.description; }

class OddLengthUtf16 : public ::testing::TestWithParam<OddCase> {};

TEST_P(OddLengthUtf16, TakesValuesThatReadBack) {
  const Setting hour[] = {{"일어날 시간", "8"}};
  const std::optional<std::string> once = with_values(GetParam().file, "환경설정", hour);
  ASSERT_TRUE(once.has_value());
  EXPECT_EQ(find_value(decode_profile(*once), "환경설정", "일어날 시간"), "8")
      << GetParam().description;
  EXPECT_EQ(with_values(*once, "환경설정", hour), once) << GetParam().description;
}

INSTANTIATE_TEST_SUITE_P(Fuzzing, OddLengthUtf16,
                         ::testing::Values(OddCase{"little endian, one byte",
                                                   std::string("\xFF\xFE\x0B", 3)},
                                           OddCase{"little endian, a cut last character",
                                                   std::string("\xFF\xFE[\0a\0]\0\n\0x", 11)},
                                           OddCase{"big endian, a cut last character",
                                                   std::string("\xFE\xFF\0[\0a\0]\0\n\0", 11)}));

}  // namespace
}  // namespace tovrel
