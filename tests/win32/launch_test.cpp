// What the Win32 layer starts for a command line, and how a failed start is numbered.
#include "frame/os/win32/launch.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "frame/os/host_system.h"
#include "frame/os/win32/wide_text.h"

namespace tovrel::win32 {
namespace {

TEST(ProcessForCommandLineTest, NothingIsLeftForTheSystemToSearchOrSplit) {
  const struct {
    std::string command_line;
    std::wstring windows_folder;
    std::wstring application, arguments;
  } cases[] = {
      {"explorer.exe C:\\음악\\Song, Live.mp3", L"C:\\windows", L"C:\\windows\\explorer.exe",
       L"explorer.exe \"C:\\음악\\Song, Live.mp3\""},
      {"explorer.exe D:\\a=b.mp3", L"C:\\", L"C:\\explorer.exe", L"explorer.exe \"D:\\a=b.mp3\""},
      {"explorer.exe  two spaces ", L"C:\\windows", L"C:\\windows\\explorer.exe",
       L"explorer.exe \" two spaces \""},
      {"C:\\Program Files\\Tovrel\\환경설정.exe", L"C:\\windows",
       L"C:\\Program Files\\Tovrel\\환경설정.exe", L"\"C:\\Program Files\\Tovrel\\환경설정.exe\""},
      {"C:\\\\Tovrel.exe", L"C:\\windows", L"C:\\\\Tovrel.exe", L"\"C:\\\\Tovrel.exe\""},
  };
  for (const auto& c : cases) {
    const ProcessStart start = process_for_command_line(c.command_line, c.windows_folder);
    EXPECT_EQ(start.application, c.application) << c.command_line;
    EXPECT_EQ(start.command_line, c.arguments) << c.command_line;
  }
}

TEST(ErrorForSystemErrorTest, TheSystemsErrorsBecomeTheProgramsNumbers) {
  EXPECT_EQ(error_for_system_error(ERROR_FILE_NOT_FOUND), ErrorNumber::FileNotFound);
  EXPECT_EQ(error_for_system_error(ERROR_PATH_NOT_FOUND), ErrorNumber::PathNotFound);
  EXPECT_EQ(error_for_system_error(ERROR_ACCESS_DENIED), ErrorNumber::PermissionDenied);
  EXPECT_EQ(error_for_system_error(ERROR_BAD_EXE_FORMAT), ErrorNumber::PathFileAccessError);
}

TEST(StartProgramTest, AProgramThatCannotStartIsAFailureWithItsNumber) {
  wchar_t temporary[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temporary);
  const std::string folder = from_wide(temporary);
  const struct {
    std::string program;
    ErrorNumber number;
  } cases[] = {
      {folder + "missing.exe", ErrorNumber::FileNotFound},
      {folder + "missing\\deeper.exe", ErrorNumber::PathNotFound},
  };
  for (const auto& c : cases) {
    try {
      HostSystem().launch(c.program);
      ADD_FAILURE() << c.program << " started";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number(), c.number) << c.program;
    }
  }
}

}  // namespace
}  // namespace tovrel::win32
