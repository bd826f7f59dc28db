#include "settings_store/profile_text.h"

#include <gtest/gtest.h>

#include <array>

#include "fakes/expected_texts.h"
#include "settings_store/cp949.h"
#include "settings_store/unicode_text.h"

namespace tovrel {
namespace {

using testing::cp949;

struct FindCase {
  const char* description;
  std::string file;  // bytes on disk
  std::string expected;
};
void PrintTo(const FindCase& c, std::ostream* out) { *out << c.description; }

class FindValue : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindValue, ReadsWhatTheProfileRulesSay) {
  EXPECT_EQ(find_value(decode_profile(GetParam().file), "환경설정", "일어날 시간"),
            GetParam().expected)
      << GetParam().description;
}

const std::string kLongPath = "/home/사용자/" + std::string(300, 'a') + "/아침 노래.mp3";

INSTANTIATE_TEST_SUITE_P(
    Rules, FindValue,
    ::testing::Values(
        FindCase{"plain", cp949("[환경설정]\r\n일어날 시간=7\r\n"), "7"},
        FindCase{"empty file", "", ""},
        FindCase{"no such section", cp949("[다른]\r\n일어날 시간=7\r\n"), ""},
        FindCase{"no such key", cp949("[환경설정]\r\n원하는 파일=/a\r\n"), ""},
        FindCase{"blanks around names and value",
                 cp949(" \t[환경설정] \r\n  일어날 시간 \t=  7 \t\r\n"), "7"},
        FindCase{"ideographic spaces and ^Z are blanks",
                 cp949("[환경설정]\n일어날 시간=\u30007\u3000\x1a\n"), "7"},
        FindCase{"spaces inside the brackets are not part of the name",
                 cp949("[ 환경설정 ]\r\n일어날 시간=7\r\n"), "7"},
        FindCase{"tabs inside the brackets are not part of the name",
                 cp949("[\t환경설정\t]\r\n일어날 시간=7\r\n"), "7"},
        FindCase{"text after the closing bracket", cp949("[환경설정] ; 설정\r\n일어날 시간=7\r\n"),
                 "7"},
        FindCase{"the first bracket closes the name", cp949("[환경설정]x]\r\n일어날 시간=7\r\n"),
                 "7"},
        FindCase{"a line without ']' names a section", cp949("[ 환경설정 \r\n일어날 시간=7\r\n"),
                 "7"},
        FindCase{"a line without ']' ends the section before it",
                 cp949("[환경설정]\r\n[다른\r\n일어날 시간=7\r\n"), ""},
        FindCase{"double quotes", cp949("[환경설정]\r\n일어날 시간=\"7\"\r\n"), "7"},
        FindCase{"single quotes", cp949("[환경설정]\r\n일어날 시간='7'\r\n"), "7"},
        FindCase{"only one pair of quotes", cp949("[환경설정]\r\n일어날 시간=\"\"7\"\"\r\n"),
                 "\"7\""},
        FindCase{"quotes that do not match", cp949("[환경설정]\r\n일어날 시간=\"7'\r\n"), "\"7'"},
        FindCase{"a lone quote", cp949("[환경설정]\r\n일어날 시간=\"\r\n"), "\""},
        FindCase{"blanks inside quotes stay", cp949("[환경설정]\r\n일어날 시간=\" 7 \"\r\n"),
                 " 7 "},
        FindCase{"empty value", cp949("[환경설정]\r\n일어날 시간=\r\n"), ""},
        FindCase{"equals sign in the value", cp949("[환경설정]\r\n일어날 시간=a=b\r\n"), "a=b"},
        FindCase{"first of two keys", cp949("[환경설정]\r\n일어날 시간=7\r\n일어날 시간=8\r\n"),
                 "7"},
        FindCase{"only the first matching section counts",
                 cp949("[환경설정]\r\n원하는 파일=/a\r\n[환경설정]\r\n일어날 시간=7\r\n"), ""},
        FindCase{"a key without '=' comes first",
                 cp949("[환경설정]\r\n일어날 시간\r\n일어날 시간=7\r\n"), ""},
        FindCase{"key before any section", cp949("일어날 시간=7\r\n[환경설정]\r\n"), ""},
        FindCase{"commented-out key", cp949("[환경설정]\r\n;일어날 시간=7\r\n"), ""},
        FindCase{"line feeds only", cp949("[환경설정]\n일어날 시간=7\n"), "7"},
        FindCase{"no final line break", cp949("[환경설정]\r\n일어날 시간=7"), "7"},
        FindCase{"a carriage return alone ends a line", cp949("[환경설정]\r일어날 시간=7\r"), "7"},
        FindCase{"carriage returns only, the key in the second section",
                 cp949("[다른]\r일어날 시간=1\r[환경설정]\r일어날 시간=7"), "7"},
        FindCase{"a carriage return inside a value ends it",
                 cp949("[환경설정]\r\n일어날 시간=7\r8\r\n"), "7"},
        FindCase{"a value ends at NUL",
                 cp949("[환경설정]\r\n일어날 시간=7") + std::string("\0 8\r\n", 5), "7"},
        FindCase{"key of the next section is not ours",
                 cp949("[환경설정]\r\n[다른]\r\n일어날 시간=7\r\n"), ""},
        FindCase{"UTF-8 with byte-order mark", "\xEF\xBB\xBF[환경설정]\r\n일어날 시간=7\r\n", "7"},
        FindCase{"UTF-8 without byte-order mark is read as code page 949",
                 "[환경설정]\r\n일어날 시간=7\r\n", ""},
        FindCase{
            "UTF-16 little endian",
            std::string("\xFF\xFE\x5B\x00\x58\xD6\xBD\xAC\x24\xC1\x15\xC8\x5D\x00\x0A\x00\x7C\xC7"
                        "\xB4\xC5\xA0\xB0\x20\x00\xDC\xC2\x04\xAC\x3D\x00\x37\x00",
                        32),
            "7"},
        FindCase{
            "UTF-16 big endian",
            std::string("\xFE\xFF\x00\x5B\xD6\x58\xAC\xBD\xC1\x24\xC8\x15\x00\x5D\x00\x0A\xC7\x7C"
                        "\xC5\xB4\xB0\xA0\x00\x20\xC2\xDC\xAC\x04\x00\x3D\x00\x37",
                        32),
            "7"},
        FindCase{"UTF-16 little endian, carriage returns only",
                 "\xFF\xFE" + utf8_to_utf16("[환경설정]\r일어날 시간=7\r", false), "7"},
        FindCase{"UTF-16 big endian, carriage returns only",
                 "\xFE\xFF" + utf8_to_utf16("[환경설정]\r일어날 시간=7\r", true), "7"}));

TEST(FindValueTest, NamesMatchWithoutRegardToCase) {
  const std::string file = cp949("[Setup]\r\nWake Hour=6\r\n[ΑΒΓ]\r\nЯ=7\r\n");
  EXPECT_EQ(find_value(decode_profile(file), "SETUP", "wake hour"), "6");
  EXPECT_EQ(find_value(decode_profile(file), "αβγ", "я"), "7");
  EXPECT_EQ(find_value(decode_profile(file), " setup\t", " WAKE HOUR "), "6")
      << "blanks around looked-up names";
}

TEST(FindValueTest, LongValueComesBackWhole) {
  const std::string file = cp949("[환경설정]\r\n원하는 파일=" + kLongPath + "\r\n");
  ASSERT_GT(kLongPath.size(), 255u);
  EXPECT_EQ(find_value(decode_profile(file), "환경설정", "원하는 파일"), kLongPath);
}

TEST(FindValueTest, BytesOutsideTheCodePageBecomeReplacementCharacters) {
  // A lead and trail byte with no character, and a byte that starts none.
  const std::string file = cp949("[환경설정]\r\n원하는 파일=/a") + "\xC9\x41\xFF" + "\r\n";
  EXPECT_EQ(find_value(decode_profile(file), "환경설정", "원하는 파일"), "/a\uFFFD\uFFFD");
}

// The bytes the settings window writes for the hour 7 and the file C:\음악\아침.mp3.
const std::string kWrittenFile =
    "[\xC8\xAF\xB0\xE6\xBC\xB3\xC1\xA4]\r\n"
    "\xC0\xCF\xBE\xEE\xB3\xAF \xBD\xC3\xB0\xA3=7\r\n"
    "\xBF\xF8\xC7\xCF\xB4\xC2 \xC6\xC4\xC0\xCF=C:\\\xC0\xBD\xBE\xC7\\\xBE\xC6\xC4\xA7.mp3\r\n";

const std::array<Setting, 2> kSettings = {Setting{"일어날 시간", "7"},
                                          Setting{"원하는 파일", "C:\\음악\\아침.mp3"}};

TEST(WithValuesTest, NewFileHoldsSectionAndKeysInCodePage949) {
  EXPECT_EQ(with_values("", "환경설정", kSettings), kWrittenFile);
}

struct WriteCase {
  const char* description;
  std::string before;  // UTF-8, converted to code page 949
  std::string after;
};
void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.description; }

class WithValues : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WithValues, ChangesOnlyWhatItMust) {
  const Setting hour[] = {{"일어날 시간", "8"}};
  EXPECT_EQ(with_values(cp949(GetParam().before), "환경설정", hour), cp949(GetParam().after))
      << GetParam().description;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, WithValues,
    ::testing::Values(
        WriteCase{"replaces the value in its line",
                  "; 알람\r\n[환경설정]\r\n일어날 시간=7\r\n원하는 파일=/a\r\n",
                  "; 알람\r\n[환경설정]\r\n일어날 시간=8\r\n원하는 파일=/a\r\n"},
        WriteCase{"the replaced line keeps its line feed",
                  "[환경설정]\n  일어날 시간 = 7 \n원하는 파일=/a\n",
                  "[환경설정]\n일어날 시간=8\n원하는 파일=/a\n"},
        WriteCase{"keeps other sections, comments and odd lines",
                  "[다른]\r\n일어날 시간=1\r\n\r\n이상한 줄\r\n[환경설정]\r\n;주석\r\n일어날 "
                  "시간=7\r\n[끝]\r\nx=y",
                  "[다른]\r\n일어날 시간=1\r\n\r\n이상한 줄\r\n[환경설정]\r\n;주석\r\n일어날 "
                  "시간=8\r\n[끝]\r\nx=y"},
        WriteCase{"a new key goes after the section's last line, before blank lines",
                  "[환경설정]\r\n원하는 파일=/a\r\n\r\n\r\n[다른]\r\n",
                  "[환경설정]\r\n원하는 파일=/a\r\n일어날 시간=8\r\n\r\n\r\n[다른]\r\n"},
        WriteCase{
            "a new key goes after the section's last key, before the comments ending it",
            "[환경설정]\r\n원하는 파일=/a\r\n; 메모\r\n\r\n;끝\r\n[다른]\r\n",
            "[환경설정]\r\n원하는 파일=/a\r\n일어날 시간=8\r\n; 메모\r\n\r\n;끝\r\n[다른]\r\n"},
        WriteCase{"comments between keys stay between them",
                  "[환경설정]\r\n;1\r\nx=1\r\n\t;2\r\ny=2\r\n;3",
                  "[환경설정]\r\n;1\r\nx=1\r\n\t;2\r\ny=2\r\n일어날 시간=8\r\n;3"},
        WriteCase{"a new key right after the line of a section holding only comments",
                  "[환경설정]\r\n; 메모\r\n", "[환경설정]\r\n일어날 시간=8\r\n; 메모\r\n"},
        WriteCase{"a new key after a header with no line break", "[환경설정]",
                  "[환경설정]\r\n일어날 시간=8\r\n"},
        WriteCase{"a new section at the end, after a line break", "[다른]\r\nx=y",
                  "[다른]\r\nx=y\r\n[환경설정]\r\n일어날 시간=8\r\n"},
        WriteCase{"a key without '=' gets its value", "[환경설정]\r\n일어날 시간\r\n",
                  "[환경설정]\r\n일어날 시간=8\r\n"},
        WriteCase{"only the first matching section is written",
                  "[환경설정]\r\n[환경설정]\r\n일어날 시간=7\r\n",
                  "[환경설정]\r\n일어날 시간=8\r\n[환경설정]\r\n일어날 시간=7\r\n"},
        WriteCase{"the same value leaves the file as it is", "[환경설정]\r\n일어날 시간 = 8\r\n",
                  "[환경설정]\r\n일어날 시간=8\r\n"},
        WriteCase{"into the section with blanks inside its brackets",
                  "[ 환경설정 ]\r\n일어날 시간=7\r\n", "[ 환경설정 ]\r\n일어날 시간=8\r\n"},
        WriteCase{"a new key into the section with blanks inside its brackets, not a new section",
                  "[\t환경설정 ]\r\n원하는 파일=/a\r\n",
                  "[\t환경설정 ]\r\n원하는 파일=/a\r\n일어날 시간=8\r\n"},
        WriteCase{"into the section whose name ends at the first bracket",
                  "[환경설정]x]\r\n일어날 시간=7\r\n", "[환경설정]x]\r\n일어날 시간=8\r\n"},
        WriteCase{"into a section without ']'", "[환경설정\r\n", "[환경설정\r\n일어날 시간=8\r\n"},
        WriteCase{"a line without ']' ends the section before it",
                  "[환경설정]\r\nx=1\r\n[다른\r\n일어날 시간=7\r\n",
                  "[환경설정]\r\nx=1\r\n일어날 시간=8\r\n[다른\r\n일어날 시간=7\r\n"},
        WriteCase{"carriage returns only: the value replaced in its line",
                  "[환경설정]\r일어날 시간=7\r원하는 파일=/a\r",
                  "[환경설정]\r일어날 시간=8\r원하는 파일=/a\r"},
        WriteCase{"a new key right after a lone carriage return, which stays",
                  "[환경설정]\r원하는 파일=/a\r\r[다른]\r",
                  "[환경설정]\r원하는 파일=/a\r일어날 시간=8\r\n\r[다른]\r"},
        WriteCase{"a new section right after a lone carriage return", "[다른]\rx=y\r",
                  "[다른]\rx=y\r[환경설정]\r\n일어날 시간=8\r\n"},
        WriteCase{"a replaced value on a last line without a line break gets CR LF",
                  "[환경설정]\r\n일어날 시간=7", "[환경설정]\r\n일어날 시간=8\r\n"},
        WriteCase{"the key's line ends at a carriage return inside it",
                  "[환경설정]\r\n일어날 시간=7\r7\r\n", "[환경설정]\r\n일어날 시간=8\r7\r\n"}));

TEST(WithValuesTest, RefusesWhatTheFileCannotHold) {
  const struct {
    const char* description;
    std::string_view section, key, value;
  } cases[] = {
      {"emoji", "환경설정", "원하는 파일", "/음악/😀.mp3"},
      {"Thai script", "환경설정", "원하는 파일", "/เพลง.mp3"},
      {"line feed in the value", "환경설정", "원하는 파일", "/a\nb"},
      {"carriage return in the value", "환경설정", "원하는 파일", "/a\rb"},
      {"NUL in the value", "환경설정", "원하는 파일", std::string_view("/a\0b", 4)},
      {"empty key", "환경설정", "", "7"},
      {"empty section", "", "일어날 시간", "7"},
      {"closing bracket in the section", "환경]설정", "일어날 시간", "7"},
      {"equals sign in the key", "환경설정", "a=b", "7"},
      {"key that looks like a section", "환경설정", "[a]", "7"},
      {"blanks around the key", "환경설정", " 일어날 시간", "7"},
      {"blanks around the section", "환경설정 ", "일어날 시간", "7"},
  };
  for (const auto& c : cases) {
    const Setting setting[] = {{c.key, c.value}};
    EXPECT_EQ(with_values(cp949("[환경설정]\r\n"), c.section, setting), std::nullopt)
        << c.description;
  }
}

TEST(WithValuesTest, UnicodeFilesKeepTheirEncoding) {
  const Setting file[] = {{"원하는 파일", "/음악/😀.mp3"}};
  EXPECT_EQ(with_values("\xEF\xBB\xBF[환경설정]\r\n", "환경설정", file),
            "\xEF\xBB\xBF[환경설정]\r\n원하는 파일=/음악/😀.mp3\r\n");

  const std::string utf16 = std::string("\xFF\xFE[\0a\0]\0\r\0\n\0", 12);
  const Setting hour[] = {{"h", "7"}};
  EXPECT_EQ(with_values(utf16, "a", hour), utf16 + std::string("h\0=\0"
                                                               "7\0\r\0\n\0",
                                                               10));
}

TEST(WithValuesTest, AUtf16LeFileOfOnlyItsMarkGetsALineBreakBeforeTheSection) {
  const Setting hour[] = {{"h", "7"}};
  EXPECT_EQ(with_values("\xFF\xFE", "a", hour),
            "\xFF\xFE" + utf8_to_utf16("\r\n[a]\r\nh=7\r\n", false));
}

TEST(WithValuesTest, Utf16CarriageReturnsOnly) {
  const Setting hour[] = {{"h", "8"}};
  for (const bool big_endian : {false, true}) {
    const std::string mark = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    const auto utf16 = [&](std::string_view utf8) {
      return mark + utf8_to_utf16(utf8, big_endian);
    };
    EXPECT_EQ(with_values(utf16("[a]\rh=7\r[b]\r"), "a", hour), utf16("[a]\rh=8\r[b]\r"))
        << "replaced, big endian " << big_endian;
    EXPECT_EQ(with_values(utf16("[a]\rx=1\r"), "a", hour), utf16("[a]\rx=1\rh=8\r\n"))
        << "added, big endian " << big_endian;
  }
  // U+0D41 U+AC00 is 41 0D 00 AC in UTF-16 LE: the bytes of a CR, but at an odd offset.
  const std::string odd_cr = "\xFF\xFE" + utf8_to_utf16("[a]\rx=\u0D41가\r", false);
  EXPECT_EQ(with_values(odd_cr, "a", hour), odd_cr + utf8_to_utf16("h=8\r\n", false));
}

TEST(WithValuesTest, WhatIsWrittenReadsBack) {
  const std::string files[] = {"", kWrittenFile, "garbage\x80\xFF\r\n[", "\xEF\xBB\xBF",
                               cp949("[환경설정]\r\n일어날 시간\r\n원하는 파일 = 'x'\r\n")};
  // Blanks and quotes at either end, which reading would take off, come back too.
  const std::string values[] = {kLongPath, "/음악/trail.mp3 ", " /a", "\t/a\u3000",
                                "\"/a\"",  "'아침'",           "/a'", "\"",
                                "\"\"",    "/a \"b\" c"};
  for (const std::string& file : files) {
    for (const std::string& value : values) {
      const std::array<Setting, 2> settings = {Setting{"일어날 시간", "23"},
                                               Setting{"원하는 파일", value}};
      const std::optional<std::string> written = with_values(file, "환경설정", settings);
      ASSERT_TRUE(written.has_value());
      EXPECT_EQ(find_value(decode_profile(*written), "환경설정", "일어날 시간"), "23");
      EXPECT_EQ(find_value(decode_profile(*written), "환경설정", "원하는 파일"), value);
    }
  }
  const Setting trailing_blank[] = {{"원하는 파일", "/a "}};
  EXPECT_EQ(with_values("", "환경설정", trailing_blank),
            cp949("[환경설정]\r\n원하는 파일=\"/a \"\r\n"));
}

}  // namespace
}  // namespace tovrel
