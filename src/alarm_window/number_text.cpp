#include "alarm_window/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "frame/failure.h"

namespace tovrel::alarm_window {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Up to so many decimal digits, a whole number is exact in a double.
constexpr std::size_t kExactDigits = 15;

int digit_value(char c) {
  if (is_digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

double read_radix(std::string_view digits, unsigned radix) {
  std::uint64_t value = 0;
  for (const char c : digits) {
    const int digit = digit_value(c);
    if (digit >= static_cast<int>(radix)) break;
    value = value * radix + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFu) throw Failure(ErrorNumber::Overflow);
  }
  return static_cast<double>(value);
}

std::string_view take_digits(std::string_view text, std::size_t& position) {
  const std::size_t begin = position;
  while (position < text.size() && is_digit(text[position])) ++position;
  return text.substr(begin, position - begin);
}

// Roughly the power of ten of a decimal number, enough to tell an overflow from an underflow.
long magnitude(std::string_view whole, std::string_view fraction, std::string_view exponent,
               bool negative_exponent) {
  long power = 0;
  const auto first = whole.find_first_not_of('0');
  if (first != std::string_view::npos) {
    power = static_cast<long>(whole.size() - first) - 1;
  } else {
    power = -static_cast<long>(fraction.find_first_not_of('0')) - 1;
  }
  long exponent_value = 0;
  for (const char c : exponent)
    exponent_value = std::min(exponent_value * 10 + (c - '0'), 1'000'000L);
  return power + (negative_exponent ? -exponent_value : exponent_value);
}

double read_decimal(std::string_view text) {
  std::size_t position = 0;
  bool negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    negative = text[position++] == '-';
  }
  const std::string_view whole = take_digits(text, position);
  std::string_view fraction;
  if (position < text.size() && text[position] == '.') {
    ++position;
    fraction = take_digits(text, position);
  }
  if (whole.empty() && fraction.empty()) return 0;

  std::string_view exponent;

  bool negative_exponent = false;
  if (position < text.size() && (text[position] == 'E' || text[position] == 'e')) {
    std::size_t after = position + 1;
    if (after < text.size() && (text[after] == '+' || text[after] == '-')) {
      negative_exponent = text[after++] == '-';
    }
    exponent = take_digits(text, after);
  }
  // A whole number of a few digits, the hour as the settings window saves it, needs no
  // floating-point reading: the library's would page in at every start of the alarm.
  if (fraction.empty() && exponent.empty() && whole.size() <= kExactDigits) {
    double value = 0;
    for (const char digit : whole) value = value * 10 + (digit - '0');
    return negative ? -value : value;
  }

  std::string number = negative ? "-0" : "0";
  number.append(whole).append(".").append(fraction).append("0");
  if (!exponent.empty()) number.append(negative_exponent ? "e-" : "e").append(exponent);

  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (magnitude(whole, fraction, exponent, negative_exponent) > 0) {
      throw Failure(ErrorNumber::Overflow);
    }
    return 0;
  }
  return value;
}

}  // namespace

double read_number(std::string_view text) {
  std::string compact;
  for (const char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') compact += c;
  }
  if (compact.size() >= 2 && compact[0] == '&') {
    const char kind = compact[1];
    if (kind == 'H' || kind == 'h') return read_radix(std::string_view(compact).substr(2), 16);
    if (kind == 'O' || kind == 'o') return read_radix(std::string_view(compact).substr(2), 8);
  }
  return read_decimal(compact);
}

std::string write_number(double value, std::string_view decimal_separator) {
  if (value == 0) value = 0;  // no "-0"
  // Whole hours, the usual difference, are written without the floating-point formatter, which
  // would page in its tables at every start; its shortest form is the same digits.
  if (std::abs(value) < 1e15 && value == static_cast<double>(static_cast<long long>(value))) {
    return std::to_string(static_cast<long long>(value));
  }
  char buffer[64];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15).ptr;
  std::string text;
  for (const char* c = buffer; c != end; ++c) {
    if (*c == '.') {
      text += decimal_separator;
    } else {
      text += *c == 'e' ? 'E' : *c;
    }
  }
  return text;
}

}  // namespace tovrel::alarm_window
