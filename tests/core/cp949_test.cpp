// The characters Windows' code page 949 has beyond glibc's, and their neighbours that it lacks.
#include "settings_store/cp949.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tovrel {
namespace {

struct Addition {
  std::string bytes;  // code page 949
  std::string utf8;
};
void PrintTo(const Addition& c, std::ostream* out) { *out << ::testing::PrintToString(c.bytes); }

class WindowsAddition : public ::testing::TestWithParam<Addition> {};

TEST_P(WindowsAddition, IsReadAndWritten) {
  EXPECT_EQ(cp949_to_utf8(GetParam().bytes), GetParam().utf8);
  EXPECT_EQ(utf8_to_cp949(GetParam().utf8), GetParam().bytes);
}

const Addition kAdditions[] = {
    {"\x80", "\xC2\x80"},                                    // U+0080
    {"\x80\x41\x80\xC9\xA1", "\xC2\x80\x41\xC2\x80\uE000"},  // 0x80 is no lead or trail byte
    {"\xC9\xA1", "\uE000"},
    {"\xC9\xD0", "\uE02F"},
    {"\xC9\xFE", "\uE05D"},
    {"\xFE\xA1", "\uE05E"},
    {"\xFE\xD0", "\uE08D"},
    {"\xFE\xFE", "\uE0BB"},
    {"[\xC9\xA1\xB0\xA1\xFE\xFE]\r\n", "[\uE000가\uE0BB]\r\n"},
};
INSTANTIATE_TEST_SUITE_P(Cp949, WindowsAddition, ::testing::ValuesIn(kAdditions));

TEST(WindowsAdditionNeighbours, AreNoCharacters) {
  EXPECT_EQ(cp949_to_utf8("\xC9\xA0"), "\uFFFD");  // just before the user-defined pairs
  EXPECT_EQ(cp949_to_utf8("\xFE\x41"), "\uFFFD");
  EXPECT_EQ(cp949_to_utf8("\xFE\xFF"), "\uFFFD\uFFFD");    // 0xFF is no trail byte
  EXPECT_EQ(cp949_to_utf8("\x81\x80"), "\uFFFD\xC2\x80");  // nor is 0x80
  EXPECT_EQ(cp949_to_utf8("\xFF"), "\uFFFD");
  // U+10080 and up are the additions' characters but for bits above the 16th.
  for (const char* utf8 :
       {"\xC2\x81", "\uE0BC", "\uF8FF", "\U00010080", "\U0001E000", "\U0010E0BB"}) {
    EXPECT_EQ(utf8_to_cp949(utf8), std::nullopt) << ::testing::PrintToString(std::string(utf8));
  }
}

}  // namespace
}  // namespace tovrel
