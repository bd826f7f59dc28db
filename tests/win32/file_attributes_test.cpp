// What a save does to the settings file's Windows attributes: its new file was hidden while it
// was being written, and takes over what the user had set on the old one, nothing more.
#include <gtest/gtest.h>
#include <windows.h>

#include "fakes/settings_file_fixture.h"
#include "frame/os/win32/wide_text.h"

namespace tovrel {
namespace {

class FileAttributes : public testing::SettingsFileSandbox {
 protected:
  std::wstring wide_ini() const { return win32::to_wide(ini()); }
};

TEST_F(FileAttributes, ASavedFileIsHiddenOnlyWhereTheUserHidIt) {
  constexpr DWORD kShown = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  const struct {
    const char* why;
    bool exists;
    DWORD set;
  } cases[] = {
      {"a new file", false, 0},
      {"a plain file", true, FILE_ATTRIBUTE_NORMAL},
      {"a hidden file", true, FILE_ATTRIBUTE_HIDDEN},
      {"a hidden system file", true, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
  };
  for (const auto& c : cases) {
    ::DeleteFileW(wide_ini().c_str());
    if (c.exists) {
      write("SETUP.INI", testing::cp949("[환경설정]\r\n일어날 시간=3\r\n"));
      ASSERT_TRUE(::SetFileAttributesW(wide_ini().c_str(), c.set));
    }
    ASSERT_EQ(write_settings(files, ini(), "환경설정", testing::kSettings), WriteOutcome::Saved)
        << c.why;
    EXPECT_EQ(hour(), "7") << c.why;
    EXPECT_EQ(::GetFileAttributesW(wide_ini().c_str()) & kShown, c.set & kShown) << c.why;
  }
}

}  // namespace
}  // namespace tovrel
