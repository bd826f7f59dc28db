// Where the settings file is on Windows: with the executables at the root of a drive, the folder
// ends in its separator and the file's name holds a doubled one, which Windows takes as one; with
// an install for all users, it is in the user's own folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>

#include "frame/os/file_access.h"
#include "frame/os/win32/settings_folder.h"
#include "frame/os/win32/wide_text.h"
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

TEST(OwnSettingsFolderTest, OnlyWhereTheMachinesAppsEntryNamesTheExecutablesFolder) {
  HKEY entry = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, win32::kAppsEntry, 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &entry, nullptr),
            ERROR_SUCCESS);
  const std::wstring installed = LR"(C:\Program Files\Tovrel\)";
  ::RegSetValueExW(entry, L"InstallLocation", 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(installed.c_str()),
                   static_cast<DWORD>((installed.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(entry);
  wchar_t local[MAX_PATH];
  ::GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
  const std::string own = join_path(win32::from_wide(local), "Tovrel");

  EXPECT_EQ(win32::own_settings_folder(R"(C:\Program Files\Tovrel)"), own);
  EXPECT_EQ(win32::own_settings_folder(R"(c:\program files\TOVREL)"), own);
  EXPECT_EQ(win32::own_settings_folder(R"(C:\Users\me\Tovrel)"), std::nullopt);
  ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, win32::kAppsEntry);
  EXPECT_EQ(win32::own_settings_folder(R"(C:\Program Files\Tovrel)"), std::nullopt);
}

}  // namespace
}  // namespace tovrel
