#include "settings_store/unicode_text.h"

#include <gtest/gtest.h>

namespace tovrel {
namespace {

TEST(SanitizeUtf8Test, ReplacesEachBadByteAndKeepsLineFeeds) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"환경 abc", "환경 abc"},
      {"\x80\n", "\uFFFD\n"},
      {"\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
      {"\xC0\xAF", "\uFFFD\uFFFD"},                      // an overlong '/'
      {"\xEA\xB0\n", "\uFFFD\uFFFD\n"},                  // cut short by a line feed
      {"\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"😀", "😀"},
  };
  for (const auto& c : cases) EXPECT_EQ(sanitize_utf8(c.in), c.out) << c.in;
}

TEST(Utf8Test, EachLengthOfSequenceFromItsFirstToItsLastCodePoint) {
  const struct {
    char32_t code_point;
    std::string utf8;
  } cases[] = {
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
  };
  for (const auto& c : cases) {
    std::string written;
    append_utf8(written, c.code_point);
    const auto number = static_cast<unsigned long>(c.code_point);
    EXPECT_EQ(written, c.utf8) << std::hex << number;
    std::string_view read = written;
    EXPECT_EQ(take_code_point(read), c.code_point) << std::hex << number;
    EXPECT_TRUE(read.empty()) << std::hex << number;
  }
}

TEST(Utf16Test, RoundTripsAndRepairsBrokenInput) {
  const std::string text = "알람 a😀\u07FF\u0800";
  EXPECT_EQ(utf16_to_utf8(utf8_to_utf16(text, false), false), text);
  EXPECT_EQ(utf16_to_utf8(utf8_to_utf16(text, true), true), text);
  const struct {
    const char* description;
    std::string utf16le, utf8;
  } broken[] = {
      {"lone high surrogate",
       std::string("\x00\xD8"
                   "a\0",
                   4),
       "\uFFFDa"},
      {"lone low surrogate",
       std::string("\x00\xDC"
                   "a\0",
                   4),
       "\uFFFDa"},
      {"low before high", std::string("\x00\xDC\x00\xD8", 4), "\uFFFD\uFFFD"},
      {"high at the end", std::string("a\0\xFF\xDB", 4), "a\uFFFD"},
      {"odd last byte", std::string("a\0b", 3), "a\uFFFD"},
  };
  for (const auto& c : broken) EXPECT_EQ(utf16_to_utf8(c.utf16le, false), c.utf8) << c.description;
}

TEST(TrimBlanksTest, RemovesUnicodeBlanksAtBothEndsOnly) {
  EXPECT_EQ(trim_blanks(" \t\r\x1a\u3000a b\u3000\v"), "a b");
  EXPECT_EQ(trim_blanks("\u3000"), "");
  EXPECT_EQ(trim_blanks("설정"), "설정");
}

TEST(EqualIgnoringCaseTest, FoldsTheCasesTheCodePageHas) {
  EXPECT_TRUE(equal_ignoring_case("Hour", "hOUR"));
  EXPECT_TRUE(equal_ignoring_case("ÀΩЖЁＡⅣ", "àωжёａⅳ"));
  EXPECT_FALSE(equal_ignoring_case("시간", "시각"));
  EXPECT_FALSE(equal_ignoring_case("a", "ab"));
  EXPECT_FALSE(equal_ignoring_case("×", "÷")) << "the multiplication sign has no lower case";
}

}  // namespace
}  // namespace tovrel
