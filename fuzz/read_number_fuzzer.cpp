// read_number on arbitrary text, and write_number back.
//
// Properties: read_number either returns a finite value or throws Failure(Overflow), and nothing
// else escapes it. The value is what the text means, told without the reader's code: the C
// library's strtod on the decimal number at the front of the text (blanks, tabs and line feeds
// taken out), or the &H/&O digits added up here; strtod's infinity means an overflow, as does a
// radix number above 32 bits. A finite value written by write_number(value, ".") reads back;
// for a normal (or zero) value the text written again is the same text and the values agree
// within 15 significant digits. Two cases cannot do better, and are checked for what they can:
// a subnormal value (below 2.2E-308) has fewer significant bits than 15 digits need, so it comes
// back within those 15 digits plus one step of the subnormal grid; and a value from
// 1.797693134862315E+308 up is written "1.79769313486232E+308", above the largest double, so
// reading it back is an overflow.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "alarm_window/number_text.h"
#include "frame/failure.h"
#include "fuzz_support.h"

namespace {

// The value read_number should give, or nothing for an overflow.
std::optional<double> meaning(std::string_view text) {
  std::string compact;
  for (const char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') compact += c;
  }
  if (compact.size() >= 2 && compact[0] == '&' &&
      (compact[1] == 'H' || compact[1] == 'h' || compact[1] == 'O' || compact[1] == 'o')) {
    const bool hex = compact[1] == 'H' || compact[1] == 'h';
    const std::string_view allowed = hex ? "0123456789abcdefABCDEF" : "01234567";
    std::string_view digits = std::string_view(compact).substr(2);
    digits = digits.substr(0, digits.find_first_not_of(allowed));
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    if (digits.size() > (hex ? 8u : 11u)) return std::nullopt;
    const unsigned long long value =
        std::strtoull(std::string(digits).c_str(), nullptr, hex ? 16 : 8);
    if (value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<double>(value);
  }
  compact = compact.substr(0, compact.find_first_not_of("0123456789+-.eE"));
  const double value = std::strtod(compact.c_str(), nullptr);
  if (std::isinf(value)) return std::nullopt;
  return value;
}

std::optional<double> read(std::string_view text) {
  try {
    return tovrel::alarm_window::read_number(text);
  } catch (const tovrel::Failure& failure) {
    FUZZ_CHECK(failure.number() == tovrel::ErrorNumber::Overflow, "failure %d",
               static_cast<int>(failure.number()));
    return std::nullopt;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::optional<double> value = read(text);
  const std::optional<double> expected = meaning(text);
  FUZZ_CHECK(value.has_value() == expected.has_value(), "read_number %s, expected %s",
             value ? "gave a value" : "overflowed", expected ? "a value" : "an overflow");
  if (!value) return 0;
  FUZZ_CHECK(std::isfinite(*value), "value %g", *value);
  FUZZ_CHECK(*value == *expected, "read %.17g, expected %.17g", *value, *expected);

  const std::string written = tovrel::alarm_window::write_number(*value, ".");
  const std::optional<double> back = read(written);
  if (!back) {
    // Only the largest values round up past the largest double in 15 digits.
    FUZZ_CHECK(written == "1.79769313486232E+308" || written == "-1.79769313486232E+308",
               "\"%s\" overflows when read back", written.c_str());
    return 0;
  }
  const double error = std::fabs(*back - *value);
  const double allowed = 5.2e-15 * std::fabs(*value);
  if (*value == 0 || std::fabs(*value) >= DBL_MIN) {
    FUZZ_CHECK(error <= allowed, "%.17g written \"%s\" reads back %.17g", *value, written.c_str(),
               *back);
    FUZZ_CHECK(tovrel::alarm_window::write_number(*back, ".") == written,
               "%.17g written \"%s\" reads back %.17g, written \"%s\"", *value, written.c_str(),
               *back, tovrel::alarm_window::write_number(*back, ".").c_str());
  } else {
    FUZZ_CHECK(error <= allowed + DBL_TRUE_MIN, "%.17g written \"%s\" reads back %.17g", *value,
               written.c_str(), *back);
  }
  return 0;
}
