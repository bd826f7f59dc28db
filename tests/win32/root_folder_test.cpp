// Executables at the root of a drive: the folder ends in its separator and the settings file's
// name holds a doubled one, which Windows takes as one.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>

#include "frame/os/file_access.h"
#include "frame/paths.h"
#include "settings_store/settings_file.h"
#include "settings_store/settings_names.h"

namespace tovrel {
namespace {

SystemFiles files;  // the system's own, which the programs read and save through

TEST(RootFolderTest, TheSettingsFileIsSavedAndReadThroughADoubledSeparator) {
  const std::string root = folder_of(R"(C:\Tovrel.exe)");
  const std::string path = join_path(root, kSettingsFileName);
  ASSERT_EQ(path, R"(C:\\SETUP.INI)");
  const std::array<Setting, 2> settings = {Setting{kHourKey, "7"},
                                           Setting{kFileKey, R"(C:\음악\아침.mp3)"}};
  ASSERT_EQ(write_settings(files, path, kSettingsSection, settings), WriteOutcome::Saved);
  const SettingsSnapshot snapshot(files, path);
  EXPECT_EQ(snapshot.value(kSettingsSection, kHourKey), "7");
  EXPECT_EQ(snapshot.value(kSettingsSection, kFileKey), R"(C:\음악\아침.mp3)");
  EXPECT_NE(::GetFileAttributesW(LR"(C:\SETUP.INI)"), INVALID_FILE_ATTRIBUTES);
  ::DeleteFileW(LR"(C:\SETUP.INI)");
}

}  // namespace
}  // namespace tovrel
