// Odd settings files the alarm may find beside it: each is read without a crash or a hang and
// gives exactly the two settings the file format rules make of it, or the missing-settings path.
// A save of the settings window over each one then either replaces it with a file the alarm
// reads the new settings from, or is refused and leaves it as it was.
//
// The rules (src/settings_store/profile_text.h): lines end at CR LF, at LF or at a CR alone; a
// line starting with '[' is a section, named by the text up to the first ']' (or the end of the
// line) less the blanks around it; a key is a name up to the first '=' and a value, both without
// blanks around them; keys before any section belong to none; the first matching section and key
// count; one pair of enclosing quotes is removed; a name or value ends at a NUL; the text is code
// page 949 unless a UTF-8 or UTF-16 byte-order mark says otherwise.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <sstream>

#include "alarm_window/alarm_window.h"
#include "alarm_window/layout.h"
#include "fakes/fake_frame.h"
#include "fakes/sandbox.h"
#include "frame/os/file_access.h"
#include "posix/ordinary_user.h"
#include "reliability_support.h"
#include "saved_pairs.h"
#include "settings_store/settings_file.h"
#include "settings_store/unicode_text.h"

namespace tovrel::reliability {
namespace {

SystemFiles files;  // the system's own, which the programs read and save through

namespace fs = std::filesystem;
using namespace std::string_literals;
using namespace alarm_window;

using testing::kSettingsMissing;
constexpr std::size_t kMegabyte = 1024 * 1024;
const std::string kSong = "/음악/아침 노래.mp3";

// Lines of a file in code page 949; the text given is UTF-8 and may hold raw bytes beside it.
std::string section_line() { return cp949("[환경설정]\r\n"); }
std::string hour_line(std::string_view value) {
  return cp949("일어날 시간=") + std::string(value) + "\r\n";
}
std::string file_line(std::string_view value) {
  return cp949("원하는 파일=") + std::string(value) + "\r\n";
}
std::string settings_text(std::string_view hour = "7", std::string_view file = "") {
  return section_line() + hour_line(hour) +
         file_line(file.empty() ? cp949(kSong) : std::string(file));
}
std::string utf8_settings() {
  return "[환경설정]\r\n일어날 시간=7\r\n원하는 파일=" + kSong + "\r\n";
}

std::string noise(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  bytes[0] = 'x';  // not a byte-order mark
  return bytes;
}

std::string utf16(std::string_view utf8, bool big_endian) {
  return (big_endian ? "\xFE\xFF"s : "\xFF\xFE"s) + utf8_to_utf16(utf8, big_endian);
}

// Writes a large file in pieces: a head, a line repeated, a tail.
void write_large(const std::string& path, const std::string& head, const std::string& line,
                 std::size_t count, const std::string& tail) {
  std::ofstream file(path, std::ios::binary);
  file << head;
  const std::size_t per_block = std::max<std::size_t>(1, kMegabyte / line.size());
  std::string block;
  for (std::size_t i = 0; i < per_block; ++i) block += line;
  for (std::size_t left = count; left > 0;) {
    const std::size_t lines = std::min(left, per_block);
    file.write(block.data(), static_cast<std::streamsize>(lines * line.size()));
    left -= lines;
  }
  file << tail;
}

enum class Who { Root, OrdinaryUser };

struct HostileCase {
  const char* name;
  const char* why;  // the rule that decides the outcome
  std::function<void(const std::string& ini)> make;
  std::function<std::optional<Pair>()> expected;  // nothing: the missing-settings path
  WriteOutcome save = WriteOutcome::Saved;        // a save of the settings window over it
  Who who = Who::Root;
};
void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

std::function<void(const std::string&)> bytes(std::string content) {
  return [content = std::move(content)](const std::string& ini) { write_file(ini, content); };
}
std::function<std::optional<Pair>()> reads(std::string hour, std::string file) {
  return [=] { return std::optional<Pair>(Pair{hour, file}); };
}
std::optional<Pair> missing() { return std::nullopt; }

// What the alarm's start-up check does with the file in the folder at the hour; empty when it
// does exactly what is expected, else what differs.
std::string alarm_mismatch(const std::string& folder, const std::optional<Pair>& expected,
                           int hour) {
  testing::FakeFrame frame;
  frame.folder = folder;
  frame.time = {hour, 0, 0};
  testing::FakeWindow controls{alarm_window::layout};
  alarm_window::AlarmWindow alarm{frame, controls};
  const bool ended = frame.run([&] { alarm.load(); });

  std::ostringstream differences;
  const auto expect = [&](bool holds, std::string_view what) {
    if (!holds) differences << what << "; ";
  };
  if (expected) {
    const std::string command_line = "explorer.exe " + expected->file;
    expect(!ended, "the program ended");
    expect(frame.messages.empty(), "a message was shown");
    expect(controls.text(Text4) == expected->hour,
           "hour (Text4) is \"" + controls.text(Text4).substr(0, 80) + "\"");
    expect(controls.text(Text5) == command_line,
           "command line (Text5) is \"" + controls.text(Text5).substr(0, 200) + "\" of " +
               std::to_string(controls.text(Text5).size()) + " bytes");
    expect(controls.text(Text2) == "Tovrel 시간 입니다.", "Text2 is " + controls.text(Text2));
    expect(controls.text(Text3) == "실행", "Text3 is " + controls.text(Text3));
    expect(frame.launches == std::vector<std::string>{command_line},
           "the file was not opened exactly once");
  } else {
    expect(ended && frame.exit_status == 0, "the program did not end normally");
    expect(frame.messages == std::vector<std::string>{kSettingsMissing},
           "not the one missing-settings message");
    expect(frame.launches == std::vector<std::string>{folder + "/환경설정"},
           "the settings executable was not started");
    expect(controls.text(Text2) == "Text2" && controls.text(Text3) == "Text3",
           "the hours were compared");
  }
  return differences.str();
}

class HostileFile : public testing::Sandbox, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileFile, TheAlarmReadsWhatTheRulesSayAndASaveReplacesItOrLeavesIt) {
  const HostileCase& c = GetParam();
  const std::string ini = path("SETUP.INI");
  const std::string app_folder = folder();
  ::chmod(app_folder.c_str(), 0755);
  c.make(ini);
  const std::optional<Pair> expected = c.expected();

  if (c.who == Who::OrdinaryUser) {
    EXPECT_TRUE(testing::as_ordinary_user([&] {
      const std::string differences = alarm_mismatch(app_folder, expected, 7);
      if (!differences.empty()) std::fprintf(stderr, "%s\n", differences.c_str());
      return differences.empty();
    })) << c.why;
  } else {
    EXPECT_EQ(alarm_mismatch(app_folder, expected, 7), "") << c.why;
  }

  // The settings window saves over it. A refused save runs as the ordinary user, who is given
  // everything first: the refusal must come from what the file is, not from whose it is (and
  // must never reach /dev as root).
  if (c.save != WriteOutcome::Saved && ::geteuid() == 0) {
    ::lchown(app_folder.c_str(), 65534, 65534);
    for (const auto& entry : fs::recursive_directory_iterator(app_folder)) {
      ::lchown(entry.path().c_str(), 65534, 65534);
    }
  }
  const auto before = snapshot(app_folder);
  const WriteOutcome outcome = c.save;
  const auto save = [&] {
    return write_settings(files, ini, kSettingsSection, pair_of('B', 0).settings()) == outcome;
  };
  EXPECT_TRUE(c.who == Who::OrdinaryUser || c.save != WriteOutcome::Saved
                  ? testing::as_ordinary_user(save)
                  : save())
      << "the save's outcome";
  if (c.save == WriteOutcome::Saved) {
    EXPECT_EQ(alarm_mismatch(app_folder, pair_of('B', 0), 19), "")
        << "the alarm reads the saved settings";
  } else {
    EXPECT_EQ(snapshot(app_folder), before) << "a refused save changes nothing";
  }
  EXPECT_TRUE(temporary_files(app_folder).empty());
}

const HostileCase kSmallCases[] = {
    {"Empty", "no section, no keys", bytes(""), missing},
    {"BlankLinesOnly", "blank lines, a tab and a DOS end-of-file mark", bytes("\r\n \t\r\n\x1a\n"),
     missing},
    {"BinaryNoise", "64 KiB of random bytes hold no such section", bytes(noise(64 * 1024, 1)),
     missing},
    {"NoiseBeforeTheSettings", "a section after noise is found like any other",
     bytes(noise(64 * 1024, 2) + "\n" + settings_text()), reads("7", kSong)},
    {"NulAfterTheSectionName", "a name ends at a NUL: [환경설정<NUL>쓰레기] is the section",
     bytes(cp949("[환경설정") + "\0"s + cp949("쓰레기]\r\n") + hour_line("7") +
           file_line(cp949(kSong))),
     reads("7", kSong)},
    {"NulInsideTheSectionName", "[환경<NUL>설정] is the section 환경",
     bytes(cp949("[환경") + "\0"s + cp949("설정]\r\n") + hour_line("7") + file_line(cp949(kSong))),
     missing},
    {"NulAfterTheKeyName", "the key's name ends at the NUL, before the '='",
     bytes(section_line() + cp949("일어날 시간") + "\0xyz=7\r\n"s + file_line(cp949(kSong))),
     reads("7", kSong)},
    {"NulBeforeTheKeyName", "a key named \"\" is not the hour",
     bytes(section_line() + "\0"s + cp949("일어날 시간=7\r\n") + file_line(cp949(kSong))), missing},
    {"NulInsideTheValue", "the value ends at the NUL; what follows is never opened",
     bytes(settings_text("7", cp949(kSong) + "\0 ; rm -rf ~"s)), reads("7", kSong)},
    {"NulAsTheWholeHour", "an hour that ends before it starts is empty",
     bytes(settings_text("\0"s
                         "7")),
     missing},
    {"InvalidCp949InTheValue", "0x81 with no trail byte and 0xFF are each U+FFFD",
     bytes(settings_text("7", cp949("/음악/") + "\x81\xFF.mp3")),
     reads("7", "/음악/\uFFFD\uFFFD.mp3")},
    {"LeadByteEndingTheSectionLine", "a lone lead byte after ']' does not take the line break",
     bytes(cp949("[환경설정]") + "\x81\r\n" + hour_line("7") + file_line(cp949(kSong))),
     reads("7", kSong)},
    {"InvalidCp949InTheKeyName", "일어날<0xFF>시간 is another key",
     bytes(section_line() + cp949("일어날") + "\xFF" + cp949("시간=7\r\n") +
           file_line(cp949(kSong))),
     missing},
    {"Utf8WithBom", "the mark makes it UTF-8", bytes("\xEF\xBB\xBF" + utf8_settings()),
     reads("7", kSong)},
    {"Utf8WithoutBom", "without the mark it is code page 949 and the Korean names differ",
     bytes(utf8_settings()), missing},
    {"Utf8WithBomAndInvalidBytes", "invalid UTF-8 is U+FFFD, byte by byte",
     bytes("\xEF\xBB\xBF[환경설정]\r\n일어날 시간=7\r\n원하는 파일=/음악/\xC3\x28.mp3\r\n"),
     reads("7", "/음악/\uFFFD(.mp3")},
    {"Utf16LeWithBom", "the mark makes it UTF-16 little-endian",
     bytes(utf16(utf8_settings(), false)), reads("7", kSong)},
    {"Utf16BeWithBom", "the mark makes it UTF-16 big-endian", bytes(utf16(utf8_settings(), true)),
     reads("7", kSong)},
    {"Utf16LeWithoutBom", "without the mark the NUL after each byte ends every name",
     bytes(utf8_to_utf16(utf8_settings(), false)), missing},
    {"Utf16LeWithAnOddLastByte", "a last half character is U+FFFD on a line of its own",
     bytes(utf16(utf8_settings(), false) + "\n"), reads("7", kSong)},
    {"Utf16LeWithAnEmoji", "a surrogate pair is one character",
     bytes(utf16("[환경설정]\r\n일어날 시간=7\r\n원하는 파일=/음악/😀.mp3\r\n", false)),
     reads("7", "/음악/😀.mp3")},
    {"Utf16LeWithAnUnpairedSurrogate", "a lone surrogate is U+FFFD",
     bytes(utf16("[환경설정]\r\n일어날 시간=7\r\n원하는 파일=/음악/", false) + "\x00\xD8"s +
           utf8_to_utf16(".mp3\r\n", false)),
     reads("7", "/음악/\uFFFD.mp3")},
    {"CarriageReturnsOnly", "a carriage return alone ends a line",
     bytes(cp949("[환경설정]\r일어날 시간=7\r원하는 파일=") + cp949(kSong) + "\r"),
     reads("7", kSong)},
    {"LineFeedsOnly", "a line feed alone ends a line",
     bytes(cp949("[환경설정]\n일어날 시간=7\n원하는 파일=") + cp949(kSong) + "\n"),
     reads("7", kSong)},
    {"MixedLineEndings", "an extra carriage return ends an empty line",
     bytes(cp949("[환경설정]\n일어날 시간=7\r\r\n원하는 파일=") + cp949(kSong) + "\r\n\n\r\n"),
     reads("7", kSong)},
    {"DuplicateSectionsFirstCounts", "the first [환경설정] counts",
     bytes(settings_text("7") + settings_text("9", cp949("/음악/두번째.mp3"))), reads("7", kSong)},
    {"DuplicateSectionsFirstLacksTheFile", "only the first section is read, and it has no file",
     bytes(section_line() + hour_line("7") + settings_text("9")), missing},
    {"DuplicateKeysFirstCounts", "the first key of a name counts",
     bytes(section_line() + hour_line("7") + hour_line("9") + file_line(cp949(kSong)) +
           file_line("/x")),
     reads("7", kSong)},
    {"QuotedValues", "one pair of enclosing quotes, double or single, is removed",
     bytes(settings_text("\"7\"", "'" + cp949(kSong) + "'")), reads("7", kSong)},
    {"UnbalancedQuote", "a quote without its pair stays",
     bytes(settings_text("7", "\"" + cp949(kSong))), reads("7", "\"" + kSong)},
    {"QuotesInsideTheValue", "quotes inside a value stay",
     bytes(settings_text("7", cp949("/음악/\"아침\" 노래.mp3"))),
     reads("7", "/음악/\"아침\" 노래.mp3")},
    {"TabsAndIdeographicSpaces",
     "tabs and U+3000 around names and values are blanks; inside they stay",
     bytes(section_line() +
           cp949("\t일어날 시간\u3000=\t7\t\r\n 원하는 파일 =  /음악/아침\t노래.mp3\u3000\r\n")),
     reads("7", "/음악/아침\t노래.mp3")},
    {"CommentLines", "';' and '#' lines are keys of other names; a value keeps a ';' in it",
     bytes(section_line() + cp949(";일어날 시간=9\r\n#원하는 파일=/x\r\n") + hour_line("7") +
           file_line(cp949(kSong + " ; 주석"))),
     reads("7", kSong + " ; 주석")},
    {"KeysBeforeAnySection", "keys before the first section belong to none",
     bytes(hour_line("7") + file_line(cp949(kSong)) + section_line()), missing},
    {"KeysInAnotherSection", "the same keys in other sections, [SETUP] and [setup], do not count",
     bytes(cp949("[SETUP]\r\n일어날 시간=9\r\n[setup]\r\n원하는 파일=/x\r\n") + settings_text()),
     reads("7", kSong)},
    {"BlanksInsideTheBrackets", "blanks inside the brackets are not part of the name",
     bytes(cp949("[ 환경설정\t]\r\n") + hour_line("7") + file_line(cp949(kSong))),
     reads("7", kSong)},
    {"TextAfterTheClosingBracket", "the name ends at the first ']'; what follows it is ignored",
     bytes(cp949("[환경설정] ; 설정]\r\n") + hour_line("7") + file_line(cp949(kSong))),
     reads("7", kSong)},
    {"NoClosingBracket", "a line without ']' is a section named by the rest of the line",
     bytes(cp949("[환경설정 \r\n") + hour_line("7") + file_line(cp949(kSong))), reads("7", kSong)},
    {"NestedBrackets", "[[환경설정]] is the section [환경설정",
     bytes(cp949("[[환경설정]]\r\n") + hour_line("7") + file_line(cp949(kSong))), missing},
    {"KeyWithoutEquals", "a key without '=' has no value",
     bytes(section_line() + cp949("일어날 시간\r\n") + file_line(cp949(kSong))), missing},
    {"EqualsSignsInTheValue", "the name ends at the first '='",
     bytes(settings_text("7", cp949("/음악/a=b=c.mp3"))), reads("7", "/음악/a=b=c.mp3")},
    {"ControlCharactersInTheValue", "control characters stay, but ^Z around a value is a blank",
     bytes(settings_text("7\x1a", cp949("/음악/") + "\x01\x1b[31m\x7f.mp3")),
     reads("7", "/음악/\x01\x1b[31m\x7f.mp3")},
    {"DosEndOfFileMark", "a ^Z after the settings is a blank line", bytes(settings_text() + "\x1a"),
     reads("7", kSong)},
    {"SparseFileAboveTheSizeLimit",
     "a file above 128 MB is not read at all, even with the settings first",
     [](const std::string& ini) {
       write_file(ini, settings_text());
       ::truncate(ini.c_str(), 129 * kMegabyte);
     },
     missing, WriteOutcome::FileNotWritable},
    {"Pipe", "not a file: not read, and no wait for a writer",
     [](const std::string& ini) { ::mkfifo(ini.c_str(), 0666); }, missing,
     WriteOutcome::FileNotWritable},
    {"Folder", "not a file", [](const std::string& ini) { fs::create_directory(ini); }, missing,
     WriteOutcome::FileNotWritable},
    {"LinkToDevZero", "an endless device is not read, nor replaced",
     [](const std::string& ini) { fs::create_symlink("/dev/zero", ini); }, missing,
     WriteOutcome::FileNotWritable},
    {"Unreadable", "a file the user may write but not read is neither read nor replaced",
     [](const std::string& ini) {
       write_file(ini, settings_text());
       ::chmod(ini.c_str(), 0200);
       if (::geteuid() == 0) ::chown(ini.c_str(), 65534, 65534);
     },
     missing, WriteOutcome::FileNotWritable, Who::OrdinaryUser},
    {"DanglingLink", "reads as no file; a save creates the file it names",
     [](const std::string& ini) { fs::create_symlink("nowhere.ini", ini); }, missing},
    {"LinkLoop", "reads as no file; a save is refused",
     [](const std::string& ini) { fs::create_symlink("SETUP.INI", ini); }, missing,
     WriteOutcome::FileNotWritable},
};

INSTANTIATE_TEST_SUITE_P(Small, HostileFile, ::testing::ValuesIn(kSmallCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Generated when the test runs: tens of megabytes are not kept in the repository.
const HostileCase kLargeCases[] = {
    {"FiftyMegabytesSettingsFirst", "the settings, then 50 MB of lines",
     [](const std::string& ini) {
       write_large(ini, settings_text() + cp949("[기록]\r\n"), std::string(1000, 'x') + "\r\n",
                   52'400, "");
     },
     reads("7", kSong)},
    {"FiftyMegabytesSettingsLast", "50 MB of lines, then the settings",
     [](const std::string& ini) {
       write_large(ini, "", std::string(1000, 'x') + "\r\n", 52'400, settings_text());
     },
     reads("7", kSong)},
    {"MillionShortLines", "a million short keys and sections before the settings",
     [](const std::string& ini) {
       write_large(ini, "", "[s]\r\nk=v\r\n", 500'000, settings_text());
     },
     reads("7", kSong)},
    {"TenMegabyteLine", "one 10 MB line (a key without '='), then the settings",
     [](const std::string& ini) {
       write_large(ini, "", std::string(1000, 'x'), 10'486, "\r\n" + settings_text());
     },
     reads("7", kSong)},
    {"TenMegabyteFileSetting", "a file setting of 10 MB is read whole and opened as it is",
     [](const std::string& ini) {
       write_large(ini, section_line() + hour_line("7") + cp949("원하는 파일=/"),
                   std::string(1000, 'x'), 10'486, "\r\n");
     },
     [] {
       return std::optional<Pair>(Pair{"7", "/" + std::string(10'486'000, 'x')});
     }},
    {"TenMillionDigitHour", "an hour too large to hold is an overflow: the missing-settings path",
     [](const std::string& ini) {
       write_large(ini, section_line() + cp949("일어날 시간=1"), std::string(1000, '9'), 10'000,
                   "\r\n" + file_line(cp949(kSong)));
     },
     missing},
};

INSTANTIATE_TEST_SUITE_P(Large, HostileFile, ::testing::ValuesIn(kLargeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A save replaces the two settings' lines and keeps every other byte, in any encoding: also what
// does not decode in a UTF-16 file (a lone surrogate in another section, a last half character).
TEST(HostileUtf16File, ASaveKeepsEveryOtherByte) {
  const std::string lone_surrogate("\x00\xD8", 2);
  const std::string before =
      utf16("[메모]\r\n글=", false) + lone_surrogate + utf8_to_utf16("\r\n", false);
  const std::string settings = utf8_to_utf16("[환경설정]\r\n일어날 시간=7\r\n", false);
  const std::string saved_settings = utf8_to_utf16("[환경설정]\r\n일어날 시간=19\r\n", false);
  const Setting hour{kHourKey, "19"};
  EXPECT_EQ(with_values(before + settings, kSettingsSection, std::span(&hour, 1)),
            before + saved_settings)
      << "a lone surrogate in another section";
  EXPECT_EQ(with_values(utf16("", false) + settings + "X", kSettingsSection, std::span(&hour, 1)),
            utf16("", false) + saved_settings + "X")
      << "an odd last byte";
}

}  // namespace
}  // namespace tovrel::reliability
