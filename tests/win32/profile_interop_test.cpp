// SETUP.INI between our code and the system's own profile functions: what one writes, the other
// reads the same, in code page 949 as a Korean system has it.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "fakes/expected_texts.h"
#include "fakes/sandbox.h"
#include "frame/os/file_access.h"
#include "settings_store/cp949.h"
#include "settings_store/settings_file.h"
#include "settings_store/unicode_text.h"

namespace tovrel {
namespace {

SystemFiles files;  // the system's own, which the programs read and save through

// The A functions take and give code page 949 bytes.
using testing::cp949;

// What GetPrivateProfileStringA reads, as UTF-8; nothing when the key is missing.
std::optional<std::string> system_read(const std::string& path, std::string_view section,
                                       std::string_view key) {
  static constexpr char kMissing[] = "\x01(missing)";
  std::string buffer(65536, '\0');  // far more than any value here, so none is cut
  const DWORD length = ::GetPrivateProfileStringA(
      cp949(section).c_str(), cp949(key).c_str(), kMissing, buffer.data(),
      static_cast<DWORD>(buffer.size()), cp949(path).c_str());
  buffer.resize(length);
  if (buffer == kMissing) return std::nullopt;
  return cp949_to_utf8(buffer);
}

bool system_write(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value) {
  return ::WritePrivateProfileStringA(cp949(section).c_str(), cp949(key).c_str(),
                                      cp949(value).c_str(), cp949(path).c_str());
}

struct ProfileCase {
  const char* description;
  std::string section, key, value;  // as written
  std::string read;                 // what both read back after the system's save
  bool kept_whole = false;          // after our save both read the value as it was
};
void PrintTo(const ProfileCase& c, std::ostream* out) { *out << c.description; }

class ProfileFile : public testing::Sandbox {
 protected:
  // A full path: the system puts a profile named without a folder into C:\windows.
  std::string ini() const { return path("SETUP.INI"); }
};

class ProfileInterop : public ProfileFile, public ::testing::WithParamInterface<ProfileCase> {};

TEST_P(ProfileInterop, WhatWeSaveTheSystemReads) {
  const ProfileCase& c = GetParam();
  const Setting setting{c.key, c.value};
  ASSERT_EQ(write_settings(files, ini(), c.section, {&setting, 1}), WriteOutcome::Saved);
  const std::string& read = c.kept_whole ? c.value : c.read;
  EXPECT_EQ(system_read(ini(), c.section, c.key), read);
  EXPECT_EQ(SettingsSnapshot(files, ini()).value(c.section, c.key), read);
}

TEST_P(ProfileInterop, WhatTheSystemSavesWeRead) {
  const ProfileCase& c = GetParam();
  ASSERT_TRUE(system_write(ini(), c.section, c.key, c.value));
  EXPECT_EQ(SettingsSnapshot(files, ini()).value(c.section, c.key), c.read);
  EXPECT_EQ(system_read(ini(), c.section, c.key), c.read);
}

std::string repeated(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// 1,413 bytes in code page 949.
const std::string kLongValue =
    "C:\\음악\\" + std::string(200, 'a') + "\\" + repeated("아침노래", 150) + ".mp3";

INSTANTIATE_TEST_SUITE_P(
    Cp949, ProfileInterop,
    ::testing::Values(
        ProfileCase{"the hour as the settings window saves it", "환경설정", "일어날 시간", "7",
                    "7"},
        ProfileCase{"a path with blanks and a comma", "환경설정", "원하는 파일",
                    "C:\\Program Files\\음악\\아침 노래, 라이브.mp3",
                    "C:\\Program Files\\음악\\아침 노래, 라이브.mp3"},
        // Blanks that Wine 8 takes as blanks too: not U+3000, the ideographic space, which we do.
        ProfileCase{"blanks around the value", "환경설정", "원하는 파일",
                    " \t\v\f C:\\음악\\아침.mp3 \t\x1a ", "C:\\음악\\아침.mp3", true},
        ProfileCase{"a blank at the end of a file name", "환경설정", "원하는 파일",
                    "C:\\음악\\trail.mp3 ", "C:\\음악\\trail.mp3", true},
        ProfileCase{"blanks inside the value", "환경설정", "원하는 파일", "아침  노래\t1.mp3",
                    "아침  노래\t1.mp3"},
        ProfileCase{"double quotes", "환경설정", "원하는 파일", "\"C:\\음악\\아침 노래.mp3\"",
                    "C:\\음악\\아침 노래.mp3", true},
        ProfileCase{"single quotes", "환경설정", "원하는 파일", "'아침.mp3'", "아침.mp3", true},
        ProfileCase{"blanks inside quotes", "환경설정", "원하는 파일", "\" 아침 \"", " 아침 ",
                    true},
        ProfileCase{"only one pair of quotes", "환경설정", "원하는 파일", "\"\"아침\"\"",
                    "\"아침\"", true},
        ProfileCase{"quotes that do not match", "환경설정", "원하는 파일", "\"아침'", "\"아침'"},
        ProfileCase{"quotes inside the value", "환경설정", "원하는 파일", "그 \"노래\".mp3",
                    "그 \"노래\".mp3"},
        ProfileCase{"a lone quote", "환경설정", "원하는 파일", "\"", "\""},
        ProfileCase{"an empty value", "환경설정", "원하는 파일", "", ""},
        ProfileCase{"equals signs and semicolons in the value", "환경설정", "원하는 파일",
                    "a=b; c=d", "a=b; c=d"},
        ProfileCase{"other Korean section and key names", "사용자 설정 (2)", "알람 파일 이름",
                    "아침", "아침"},
        ProfileCase{"hanja, Greek, Cyrillic, kana, symbols and user-defined pairs", "漢字 設定",
                    "αβγ Жж", "ひらがな カタカナ ①★ \uE000\uE0BB",
                    "ひらがな カタカナ ①★ \uE000\uE0BB"},
        ProfileCase{"a long value", "환경설정", "원하는 파일", kLongValue, kLongValue}));

// Names match without regard to case. (Only in ASCII letters here: Wine 8 folds no other, where
// we fold the Greek, Cyrillic and other letters of the code page too.)
TEST_F(ProfileFile, NamesMatchWithoutRegardToCase) {
  const Setting setting{"Music File", "아침.mp3"};
  ASSERT_EQ(write_settings(files, ini(), "Tovrel 설정", {&setting, 1}), WriteOutcome::Saved);
  EXPECT_EQ(system_read(ini(), "TOVREL 설정", "music FILE"), "아침.mp3");

  ASSERT_TRUE(system_write(ini(), "tovrel 설정", "MUSIC file", "저녁.mp3"));
  EXPECT_EQ(SettingsSnapshot(files, ini()).value("Tovrel 설정", "Music File"), "저녁.mp3");
  EXPECT_EQ(system_read(ini(), "Tovrel 설정", "Music File"), "저녁.mp3");
}

// A file that both have written to in turn keeps what each wrote.
TEST_F(ProfileFile, EachKeepsWhatTheOtherWrote) {
  const std::array<Setting, 2> settings = {Setting{"일어날 시간", "7"},
                                           Setting{"원하는 파일", "C:\\음악\\아침.mp3"}};
  ASSERT_EQ(write_settings(files, ini(), "환경설정", settings), WriteOutcome::Saved);
  ASSERT_TRUE(system_write(ini(), "환경설정", "일어날 시간", "8"));
  ASSERT_TRUE(system_write(ini(), "환경설정", "메모", "주말 제외"));
  ASSERT_TRUE(system_write(ini(), "다른 설정", "이름", "값"));

  const SettingsSnapshot after_system(files, ini());
  EXPECT_EQ(after_system.value("환경설정", "일어날 시간"), "8");
  EXPECT_EQ(after_system.value("환경설정", "원하는 파일"), "C:\\음악\\아침.mp3");
  EXPECT_EQ(after_system.value("환경설정", "메모"), "주말 제외");
  EXPECT_EQ(after_system.value("다른 설정", "이름"), "값");

  const Setting file{"원하는 파일", "C:\\음악\\저녁 노래.mp3"};
  ASSERT_EQ(write_settings(files, ini(), "환경설정", {&file, 1}), WriteOutcome::Saved);
  EXPECT_EQ(system_read(ini(), "환경설정", "일어날 시간"), "8");
  EXPECT_EQ(system_read(ini(), "환경설정", "원하는 파일"), "C:\\음악\\저녁 노래.mp3");
  EXPECT_EQ(system_read(ini(), "환경설정", "메모"), "주말 제외");
  EXPECT_EQ(system_read(ini(), "다른 설정", "이름"), "값");
}

// The file the settings window saves for hour 7 and C:\음악\아침.mp3, byte for byte, as the
// system reads it.
TEST_F(ProfileFile, TheSystemReadsTheSettingsWindowsFile) {
  write("SETUP.INI", cp949("[환경설정]\r\n일어날 시간=7\r\n원하는 파일=C:\\음악\\아침.mp3\r\n"));
  EXPECT_EQ(system_read(ini(), "환경설정", "일어날 시간"), "7");
  EXPECT_EQ(system_read(ini(), "환경설정", "원하는 파일"), "C:\\음악\\아침.mp3");
}

// Where a new key or section goes, byte for byte as the system's own writer puts it. Wine's writer
// differs from Windows' in two cases, where we write as Windows does: a new key goes before the
// ';' lines that end its section (Wine puts it after them), and a UTF-16 little-endian file that
// holds only its byte-order mark gets CR LF before the new section (Wine writes none). Wine also
// drops blank lines and blanks around '=', which we keep, and writes the A functions' bytes into a
// UTF-16 file unconverted: the files and names here have none of these.
TEST_F(ProfileFile, ANewKeyOrSectionGoesWhereTheSystemPutsIt) {
  const struct {
    const char* why;
    std::string before;
  } cases[] = {
      {"no file yet", ""},
      {"a key at the end of its section, before the next",
       "[Alarm]\r\nfile=/a\r\n[other]\r\nx=1\r\n"},
      {"a key after a section line with no line break", "[Alarm]"},
      {"a new section after a last line without a line break", "[other]\r\nx=1"},
      {"a replaced value", "[Alarm]\r\nhour=3\r\nfile=/a\r\n"},
      {"a new section in a UTF-16 file", "\xFF\xFE" + utf8_to_utf16("[other]\r\nx=1\r\n", false)},
  };
  const Setting hour{"hour", "7"};
  for (const auto& c : cases) {
    write("SETUP.INI", c.before);
    ASSERT_TRUE(system_write(ini(), "Alarm", hour.key, hour.value)) << c.why;
    EXPECT_EQ(with_values(c.before, "Alarm", {&hour, 1}), read("SETUP.INI")) << c.why;
  }
}

}  // namespace
}  // namespace tovrel
