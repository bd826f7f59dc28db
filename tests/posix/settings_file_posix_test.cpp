// Reading and saving the settings file where only a POSIX system can set the scene: pipes,
// devices, permissions, the umask and symbolic links.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "fakes/fake_frame.h"
#include "fakes/settings_file_fixture.h"
#include "frame/os/file_access.h"
#include "frame/os/posix/settings_folder.h"
#include "frame/program_window.h"
#include "posix/ordinary_user.h"
#include "settings_store/settings_file.h"
#include "settings_window/events.h"
#include "settings_window/layout.h"

namespace tovrel {
namespace {

using testing::as_ordinary_user;
namespace fs = std::filesystem;

using testing::cp949;
using testing::kSettings;

class SettingsFilePosixTest : public testing::SettingsFileSandbox {};

TEST_F(SettingsFilePosixTest, WhatCannotBeReadReadsEmpty) {
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
    return SettingsSnapshot(files, file).value("환경설정", "일어날 시간").empty();
  })) << "a file we may not read";
}

// Where the executables' folder is not the user's (a package's), the settings go to the user's own
// configuration folder.
TEST_F(SettingsFilePosixTest, TheUsersOwnSettingsFolderWhereTheExecutablesFolderIsNotTheirs) {
  const uid_t owner = ::geteuid(), other = owner == 0 ? 65534 : 0;
  const struct {
    const char* description;
    uid_t user;
    const char* config_home;  // nullptr: unset
    std::optional<std::string> folder;
  } cases[] = {
      {"the folder's owner", owner, "/config", std::nullopt},
      {"another user", other, "/config", "/config/tovrel"},
      {"another user, no XDG_CONFIG_HOME", other, nullptr, "/home/me/.config/tovrel"},
      {"another user, a relative XDG_CONFIG_HOME", other, "config", "/home/me/.config/tovrel"},
  };
  const auto saved = [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  };
  const std::optional<std::string> home = saved("HOME"), config_home = saved("XDG_CONFIG_HOME");
  ::setenv("HOME", "/home/me", 1);
  for (const auto& c : cases) {
    if (c.config_home) {
      ::setenv("XDG_CONFIG_HOME", c.config_home, 1);
    } else {
      ::unsetenv("XDG_CONFIG_HOME");
    }
    EXPECT_EQ(posix::own_settings_folder(folder(), c.user), c.folder) << c.description;
  }
  for (const auto& [name, value] : {std::pair{"HOME", home}, {"XDG_CONFIG_HOME", config_home}}) {
    value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
  }
}

TEST_F(SettingsFilePosixTest, ReplacingKeepsPermissionsAndOtherLines) {
  write("SETUP.INI", cp949("; 손대지 마세요\n[환경설정]\n일어날 시간=3\n"));
  fs::permissions(ini(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_EQ(write_settings(files, ini(), "환경설정", kSettings), WriteOutcome::Saved);
  EXPECT_EQ(
      read("SETUP.INI"),
      cp949("; 손대지 마세요\n[환경설정]\n일어날 시간=7\n원하는 파일=/음악/아침 노래.mp3\r\n"));
  EXPECT_EQ(fs::status(ini()).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SettingsFilePosixTest, NewFileGetsThePermissionsTheUmaskAllows) {
  const mode_t old_mask = ::umask(027);
  const WriteOutcome outcome = write_settings(files, ini(), "환경설정", kSettings);
  ::umask(old_mask);
  ASSERT_EQ(outcome, WriteOutcome::Saved);
  EXPECT_EQ(fs::status(ini()).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

const fs::perms kReadOnlyFolder =
    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read | fs::perms::others_exec;
const fs::perms kReadOnlyFile =
    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

TEST_F(SettingsFilePosixTest, ARefusedWriteIsReportedAndChangesNothing) {
  const std::string before = cp949("[환경설정]\r\n일어날 시간=3\r\n");
  write("SETUP.INI", before);
  const std::string file = ini();
  const auto refused = [&] {
    return write_settings(files, file, "환경설정", kSettings) == WriteOutcome::FileNotWritable;
  };

  fs::permissions(ini(), kReadOnlyFile);
  fs::permissions(folder(), kReadOnlyFolder);
  EXPECT_TRUE(as_ordinary_user(refused)) << "read-only file in a read-only folder";
  EXPECT_EQ(read("SETUP.INI"), before);

  fs::permissions(folder(), fs::perms::all);
  EXPECT_TRUE(as_ordinary_user(refused)) << "read-only file in a writable folder";
  EXPECT_EQ(read("SETUP.INI"), before);

  fs::permissions(ini(), fs::perms::owner_write | fs::perms::others_write);
  EXPECT_TRUE(as_ordinary_user(refused)) << "a file we may write but not read";

  fs::permissions(ini(), fs::perms::all);
  EXPECT_EQ(read("SETUP.INI"), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 1)
      << "no temporary file is left behind";
}

// A file the user may write, in a folder where no new file can take its place, is written in
// place: the bytes a replacement would give, into the same file, and nothing else in the folder.
TEST_F(SettingsFilePosixTest, AWritableFileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
  const struct {
    const char* why;
    fs::perms folder;
  } cases[] = {
      {"a read-only folder", kReadOnlyFolder},
      // The new file can be made, but not renamed over a file of another owner.
      {"a sticky folder and a file of root's", fs::perms::all | fs::perms::sticky_bit},
  };
  // A long hand-edited hour: the saved file is shorter, and its end must be cut off.
  const std::string before = cp949("; 메모\r\n[환경설정]\r\n일어날 시간=" + std::string(60, '3') +
                                   "\r\n[다른]\r\nx=1\r\n");
  const std::string after = with_values(before, "환경설정", kSettings).value();
  ASSERT_LT(after.size(), before.size());
  const std::string file = ini();
  for (const auto& c : cases) {
    if (c.folder != kReadOnlyFolder && ::geteuid() != 0) continue;  // the file must be another's
    write("SETUP.INI", before);
    fs::permissions(ini(), fs::perms::all);
    fs::permissions(folder(), c.folder);
    struct stat status {};
    ::stat(file.c_str(), &status);
    EXPECT_TRUE(as_ordinary_user([&] {
      return write_settings(files, file, "환경설정", kSettings) == WriteOutcome::Saved;
    })) << c.why;
    fs::permissions(folder(), fs::perms::all);
    EXPECT_EQ(read("SETUP.INI"), after) << c.why;
    const ino_t inode = status.st_ino;
    ::stat(file.c_str(), &status);
    EXPECT_EQ(status.st_ino, inode) << c.why << ": not the same file";
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 1)
        << c.why << ": a temporary file is left behind";
  }
}

TEST_F(SettingsFilePosixTest, ALinkIsFollowedAndItsTargetReplaced) {
  fs::create_directory(path("elsewhere"));
  write("elsewhere/real.ini", cp949("[환경설정]\r\n일어날 시간=3\r\n"));
  fs::create_symlink("elsewhere/real.ini", ini());
  ASSERT_EQ(write_settings(files, ini(), "환경설정", kSettings), WriteOutcome::Saved);
  EXPECT_TRUE(fs::is_symlink(ini()));
  EXPECT_EQ(SettingsSnapshot(files, path("elsewhere/real.ini")).value("환경설정", "일어날 시간"),
            "7");

  fs::create_symlink("nowhere.ini", path("dangling.ini"));
  ASSERT_EQ(write_settings(files, path("dangling.ini"), "환경설정", kSettings),
            WriteOutcome::Saved);
  EXPECT_TRUE(fs::is_symlink(path("dangling.ini")));
  EXPECT_EQ(SettingsSnapshot(files, path("nowhere.ini")).value("환경설정", "일어날 시간"), "7");

  fs::create_symlink("loop.ini", path("loop.ini"));
  EXPECT_EQ(write_settings(files, path("loop.ini"), "환경설정", kSettings),
            WriteOutcome::FileNotWritable);
}

using testing::kInputNotValid;

class SettingsWindowPosixTest : public testing::Sandbox {
 protected:
  void SetUp() override {
    Sandbox::SetUp();
    frame.folder = folder();
  }

  bool click(settings_window::Control button) {
    return frame.raise(settings, Event::Click, button);
  }

  testing::FakeFrame frame{"환경설정"};
  ProgramWindow<settings_window::SettingsWindow> settings{frame, frame, settings_window::layout,
                                                          settings_window::events};
  testing::FakeWindow& controls = frame.window();
};

TEST_F(SettingsWindowPosixTest, SaveThatTheSystemRefusesIsReportedAndChangesNothing) {
  const std::string before = cp949("[환경설정]\r\n일어날 시간=3\r\n");
  write("SETUP.INI", before);
  std::filesystem::permissions(path("SETUP.INI"), kReadOnlyFile);
  std::filesystem::permissions(folder(), kReadOnlyFolder);
  controls.type(settings_window::Text1, "7");
  controls.set_text(settings_window::Text2, "/a");
  EXPECT_TRUE(as_ordinary_user([&] {
    click(settings_window::Command3);
    return frame.messages == std::vector<std::string>{kInputNotValid};
  }));
  EXPECT_EQ(read("SETUP.INI"), before);
}

}  // namespace
}  // namespace tovrel
