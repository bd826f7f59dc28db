// Our code page 949 against the system's own, byte by byte and character by character.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "settings_store/cp949.h"
#include "settings_store/unicode_text.h"

namespace tovrel {
namespace {

constexpr UINT kKorean = 949;

// The characters the system reads in the bytes, or nothing when it calls them invalid.
std::optional<std::u32string> system_decode(const std::string& bytes) {
  wchar_t wide[4];
  const int length = ::MultiByteToWideChar(kKorean, MB_ERR_INVALID_CHARS, bytes.data(),
                                           static_cast<int>(bytes.size()), wide, 4);
  if (length <= 0) return std::nullopt;
  return std::u32string(wide, wide + length);  // two bytes give no surrogate pair
}

// The characters our code reads in the bytes; U+FFFD, which no byte of the code page stands for,
// is how it says a byte or pair is invalid.
std::optional<std::u32string> our_decode(const std::string& bytes) {
  const std::string utf8 = cp949_to_utf8(bytes);
  std::string_view utf8_rest = utf8;
  std::u32string characters;
  while (!utf8_rest.empty()) {
    const char32_t c = take_code_point(utf8_rest);
    if (c == kReplacementCharacter) return std::nullopt;
    characters += c;
  }
  return characters;
}

// The bytes the system writes for a character, or nothing when it has none: with no best-fit
// mapping (a letter written as a look-alike), and with the default character it writes for
// none told apart by used_default.
std::optional<std::string> system_encode(wchar_t c) {
  char bytes[8];
  BOOL used_default = FALSE;
  const int length = ::WideCharToMultiByte(kKorean, WC_NO_BEST_FIT_CHARS, &c, 1, bytes,
                                           sizeof bytes, nullptr, &used_default);
  if (length <= 0 || used_default) return std::nullopt;
  return std::string(bytes, static_cast<std::size_t>(length));
}

std::string hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
  }
  return out;
}

std::string code_points(const std::optional<std::u32string>& characters) {
  if (!characters) return "nothing valid";
  std::string out;
  for (const char32_t c : *characters) {
    out += (out.empty() ? "U+" : " U+") +
           hex(std::string{static_cast<char>(c >> 8), static_cast<char>(c)});
  }
  return out;
}

TEST(Cp949Interop, TheSystemHasCodePage949) {
  ASSERT_TRUE(::IsValidCodePage(kKorean));
  // The tests run with code page 949 as the ANSI code page, as on a Korean system.
  EXPECT_EQ(::GetACP(), kKorean);
}

TEST(Cp949Interop, EveryByteAndBytePairDecodesAsTheSystemDecodesIt) {
  int mismatches = 0, mapped_pairs = 0;
  const auto compare = [&](const std::string& bytes) {
    const auto expected = system_decode(bytes);
    if (our_decode(bytes) == expected) return;
    if (++mismatches <= 20) {
      ADD_FAILURE() << "bytes " << hex(bytes) << ": the system reads " << code_points(expected)
                    << ", we read " << code_points(our_decode(bytes)) << " (UTF-8 "
                    << hex(cp949_to_utf8(bytes)) << ")";
    }
  };
  for (int first = 0; first < 256; ++first) {
    compare(std::string(1, static_cast<char>(first)));
    for (int second = 0; second < 256; ++second) {
      const std::string pair{static_cast<char>(first), static_cast<char>(second)};
      compare(pair);
      const auto read = system_decode(pair);
      if (read && read->size() == 1) ++mapped_pairs;
    }
  }
  EXPECT_EQ(mismatches, 0);
  // Not a run where the system knows no pair at all and the comparison shows nothing: Hangul
  // alone has 11,172 syllables.
  EXPECT_GT(mapped_pairs, 17000);
}

// Where the system writes a character as bytes that it reads back as that character, we write the
// same bytes; where it has no bytes for it, we refuse it too. The system writes U+F8F7 as the byte
// FF, which it reads as invalid (and as U+F8F7 only when not asked to check): for us FF is no
// character and U+F8F7 cannot be stored, so that a saved name always reads back as it was.
TEST(Cp949Interop, EveryCharacterEncodesAsTheSystemEncodesIt) {
  int mismatches = 0, mapped = 0;
  std::u32string not_read_back;
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;  // half a character: not text
    std::string utf8;
    append_utf8(utf8, c);
    auto expected = system_encode(static_cast<wchar_t>(c));
    if (expected && system_decode(*expected) != std::u32string(1, c)) {
      not_read_back += c;
      expected.reset();
    }
    if (expected) ++mapped;
    const auto ours = utf8_to_cp949(utf8);
    if (ours == expected) continue;
    if (++mismatches <= 20) {
      ADD_FAILURE() << code_points(std::u32string(1, c)) << ": the system writes "
                    << (expected ? hex(*expected) : "nothing") << ", we write "
                    << (ours ? hex(*ours) : "nothing");
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(mapped, 17000);
  EXPECT_EQ(code_points(not_read_back), "U+F8F7");
}

}  // namespace
}  // namespace tovrel
