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

TEST(Utf16Test, RoundTripsAndRepairsBrokenInput) {
  const std::string text = "알람 a😀";
  EXPECT_EQ(utf16_to_utf8(utf8_to_utf16(text, false), false), text);
  EXPECT_EQ(utf16_to_utf8(utf8_to_utf16(text, true), true), text);
  EXPECT_EQ(utf16_to_utf8(std::string("\x00\xD8"
                                      "a\0",
                                      4),
                          false),
            "\uFFFDa")
      << "lone surrogate";
  EXPECT_EQ(utf16_to_utf8(std::string("a\0b", 3), false), "a\uFFFD") << "odd last byte";
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
