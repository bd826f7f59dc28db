#include "settings_store/settings_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>

#include "fakes/sandbox.h"
#include "settings_store/cp949.h"

namespace tovrel {
namespace {

using testing::as_ordinary_user;
namespace fs = std::filesystem;

const std::array<Setting, 2> kSettings = {Setting{"일어날 시간", "7"},
                                          Setting{"원하는 파일", "/음악/아침 노래.mp3"}};

std::string cp949(std::string_view utf8) { return utf8_to_cp949(utf8).value(); }

class SettingsFileTest : public testing::Sandbox {
 protected:
  std::string ini() const { return path("SETUP.INI"); }
  std::string hour() const { return SettingsSnapshot(ini()).value("환경설정", "일어날 시간"); }
};

TEST_F(SettingsFileTest, WritesANewFileAndReadsItBack) {
  ASSERT_EQ(write_settings(ini(), "환경설정", kSettings), WriteOutcome::Saved);
  EXPECT_EQ(read("SETUP.INI"),
            cp949("[환경설정]\r\n일어날 시간=7\r\n원하는 파일=/음악/아침 노래.mp3\r\n"));
  EXPECT_EQ(hour(), "7");
  EXPECT_EQ(SettingsSnapshot(ini()).value("환경설정", "원하는 파일"), "/음악/아침 노래.mp3");
}

TEST_F(SettingsFileTest, EveryReadSeesTheFileAsItIsNow) {
  write("SETUP.INI", cp949("[환경설정]\r\n일어날 시간=7\r\n"));
  EXPECT_EQ(hour(), "7");
  write("SETUP.INI", cp949("[환경설정]\r\n일어날 시간=9\r\n"));
  EXPECT_EQ(hour(), "9");
}

TEST_F(SettingsFileTest, WhatCannotBeReadReadsEmpty) {
  EXPECT_EQ(hour(), "") << "no file";

  fs::create_directory(ini());
  EXPECT_EQ(hour(), "") << "a folder";
  fs::remove(ini());

  ASSERT_EQ(::mkfifo(ini().c_str(), 0644), 0);
  EXPECT_EQ(hour(), "") << "a pipe with no writer must not block";
  fs::remove(ini());

  fs::create_symlink("/dev/zero", ini());
  EXPECT_EQ(hour(), "") << "an endless device";
  fs::remove(ini());

  write("SETUP.INI", cp949("[환경설정]\r\n일어날 시간=7\r\n"));
  fs::permissions(ini(), fs::perms::owner_write);
  fs::permissions(folder(), fs::perms::all);
  const std::string file = ini();
  EXPECT_TRUE(as_ordinary_user([&] {
    return SettingsSnapshot(file).value("환경설정", "일어날 시간").empty();
  })) << "a file we may not read";
}

TEST_F(SettingsFileTest, ReplacingKeepsPermissionsAndOtherLines) {
  write("SETUP.INI", cp949("; 손대지 마세요\n[환경설정]\n일어날 시간=3\n"));
  fs::permissions(ini(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_EQ(write_settings(ini(), "환경설정", kSettings), WriteOutcome::Saved);
  EXPECT_EQ(
      read("SETUP.INI"),
      cp949("; 손대지 마세요\n[환경설정]\n일어날 시간=7\n원하는 파일=/음악/아침 노래.mp3\r\n"));
  EXPECT_EQ(fs::status(ini()).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SettingsFileTest, NewFileGetsThePermissionsTheUmaskAllows) {
  const mode_t old_mask = ::umask(027);
  const WriteOutcome outcome = write_settings(ini(), "환경설정", kSettings);
  ::umask(old_mask);
  ASSERT_EQ(outcome, WriteOutcome::Saved);
  EXPECT_EQ(fs::status(ini()).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SettingsFileTest, ARefusedWriteIsReportedAndChangesNothing) {
  const std::string before = cp949("[환경설정]\r\n일어날 시간=3\r\n");
  write("SETUP.INI", before);
  fs::permissions(ini(), fs::perms::all);
  const std::string file = ini();
  const auto refused = [&] {
    return write_settings(file, "환경설정", kSettings) == WriteOutcome::FileNotWritable;
  };

  const auto read_only = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                         fs::perms::others_exec;
  fs::permissions(folder(), read_only);
  EXPECT_TRUE(as_ordinary_user(refused)) << "read-only folder";
  EXPECT_EQ(read("SETUP.INI"), before);

  fs::permissions(folder(), fs::perms::all);
  fs::permissions(ini(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_TRUE(as_ordinary_user(refused)) << "read-only file in a writable folder";
  EXPECT_EQ(read("SETUP.INI"), before);

  fs::permissions(ini(), fs::perms::owner_write | fs::perms::others_write);
  EXPECT_TRUE(as_ordinary_user(refused)) << "a file we may write but not read";

  fs::permissions(ini(), fs::perms::all);
  EXPECT_EQ(read("SETUP.INI"), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 1)
      << "no temporary file is left behind";
}

TEST_F(SettingsFileTest, ASaveRemovesWhatAKilledSaveLeftAndNothingElse) {
  write(".SETUP.INI.k3Xq9Z", "half a file");  // as a save killed before its rename leaves it
  write(".SETUP.INI.bak", "kept");
  write("SETUP.INI.old", "kept");
  ASSERT_EQ(write_settings(ini(), "환경설정", kSettings), WriteOutcome::Saved);
  EXPECT_FALSE(fs::exists(path(".SETUP.INI.k3Xq9Z")));
  EXPECT_TRUE(fs::exists(path(".SETUP.INI.bak")));
  EXPECT_TRUE(fs::exists(path("SETUP.INI.old")));
}

TEST_F(SettingsFileTest, AFolderInPlaceOfTheFileIsRefused) {
  fs::create_directory(ini());
  EXPECT_EQ(write_settings(ini(), "환경설정", kSettings), WriteOutcome::FileNotWritable);
  EXPECT_TRUE(fs::is_directory(ini()));
}

TEST_F(SettingsFileTest, AValueTheFileCannotHoldWritesNothing) {
  const Setting emoji[] = {{"일어날 시간", "8"}, {"원하는 파일", "/😀.mp3"}};
  write("SETUP.INI", cp949("[환경설정]\r\n일어날 시간=3\r\n"));
  EXPECT_EQ(write_settings(ini(), "환경설정", emoji), WriteOutcome::ValueNotStorable);
  EXPECT_EQ(hour(), "3") << "not even the hour";
}

TEST_F(SettingsFileTest, ALinkIsFollowedAndItsTargetReplaced) {
  fs::create_directory(path("elsewhere"));
  write("elsewhere/real.ini", cp949("[환경설정]\r\n일어날 시간=3\r\n"));
  fs::create_symlink("elsewhere/real.ini", ini());
  ASSERT_EQ(write_settings(ini(), "환경설정", kSettings), WriteOutcome::Saved);
  EXPECT_TRUE(fs::is_symlink(ini()));
  EXPECT_EQ(SettingsSnapshot(path("elsewhere/real.ini")).value("환경설정", "일어날 시간"), "7");

  fs::create_symlink("nowhere.ini", path("dangling.ini"));
  ASSERT_EQ(write_settings(path("dangling.ini"), "환경설정", kSettings), WriteOutcome::Saved);
  EXPECT_TRUE(fs::is_symlink(path("dangling.ini")));
  EXPECT_EQ(SettingsSnapshot(path("nowhere.ini")).value("환경설정", "일어날 시간"), "7");

  fs::create_symlink("loop.ini", path("loop.ini"));
  EXPECT_EQ(write_settings(path("loop.ini"), "환경설정", kSettings), WriteOutcome::FileNotWritable);
}

TEST_F(SettingsFileTest, AFileWithCarriageReturnsOnlyIsReadAndSavedInItsLines) {
  write("SETUP.INI", cp949("[환경설정]\r일어날 시간=3\r[기록]\r"));
  EXPECT_EQ(hour(), "3");
  ASSERT_EQ(write_settings(ini(), "환경설정", kSettings), WriteOutcome::Saved);
  EXPECT_EQ(read("SETUP.INI"),
            cp949("[환경설정]\r일어날 시간=7\r원하는 파일=/음악/아침 노래.mp3\r\n[기록]\r"));
}

TEST_F(SettingsFileTest, BinaryAndHugeFilesReadWithoutHarm) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 7919 % 256);
  write("SETUP.INI", binary);
  EXPECT_EQ(hour(), "");

  std::string big = cp949("[환경설정]\r\n일어날 시간=7\r\n");
  big.resize(50 * 1024 * 1024, 'x');
  write("SETUP.INI", big);
  EXPECT_EQ(hour(), "7");
}

}  // namespace
}  // namespace tovrel
