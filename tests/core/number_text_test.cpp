#include "alarm_window/number_text.h"

#include <gtest/gtest.h>

#include "frame/failure.h"

namespace tovrel::alarm_window {
namespace {

TEST(ReadNumberTest, ReadsTheLeadingNumber) {
  const struct {
    std::string_view text;
    double value;
  } cases[] = {
      {"7", 7},        {"07", 7},        {"23", 23},
      {"abc", 0},      {"", 0},          {" 1 2 ", 12},
      {"\t7\n", 7},    {"7\r", 7},       {"+5", 5},
      {"-5", -5},      {"- 5", -5},      {"--5", 0},
      {"6.5", 6.5},    {".5", 0.5},      {"5.", 5},
      {"1.2.3", 1.2},  {"6,5", 6},       {"1e2", 100},
      {"1E+2", 100},   {"2.5E-1", 0.25}, {"1e", 1},
      {"1e+", 1},      {"1E 2", 100},    {"7시", 7},
      {"&H17", 23},    {"&h1f", 31},     {"&HFFFFFFFF", 4294967295.0},
      {"&Ha", 10},     {"&HaF", 175},    {"&H9A", 154},
      {"&Hg", 0},      {"&H1G", 1},      {"&O7", 7},
      {"&O27", 23},    {"&o8", 0},       {"&HG", 0},
      {"&", 0},        {"&7", 0},        {"-&H10", 0},
      {"& H 1 7", 23}, {"1e-400", 0},    {"0e999999", 0},
      {"-", 0},        {".", 0},         {"e5", 0},
      {"７", 0},  // full-width digits are not digits
  };
  for (const auto& c : cases) EXPECT_EQ(read_number(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReadNumberTest, ReadsThreeHundredDigits) {
  EXPECT_DOUBLE_EQ(read_number("1" + std::string(299, '0')), 1e299);
}

TEST(ReadNumberTest, TooLargeToHoldIsAnOverflow) {
  const std::string texts[] = {"1e400",
                               "-1e400",
                               "&HFFFFFFFFFF",
                               "&O77777777777",
                               "1" + std::string(400, '0'),
                               "0.1e99999999999999999999"};
  for (const std::string& text : texts) {
    try {
      read_number(text);
      ADD_FAILURE() << text << " was read";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number(), ErrorNumber::Overflow) << text;
    }
  }
}

TEST(WriteNumberTest, WritesTheShortestForm) {
  const struct {
    double value;
    std::string_view separator, text;
  } cases[] = {
      {2, ".", "2"},        {23, ".", "23"},        {0.5, ".", "0.5"},
      {0.5, ",", "0,5"},    {7 - 6.7, ".", "0.3"},  {123456789012345, ".", "123456789012345"},
      {1e15, ".", "1E+15"}, {1e299, ".", "1E+299"}, {0.00001, ".", "1E-05"},
      {-0.0, ".", "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(write_number(c.value, c.separator), c.text) << c.value;
}

}  // namespace
}  // namespace tovrel::alarm_window
