// The two executables built from one program: file names, titles and startup windows.
#pragma once

#include <string_view>

namespace tovrel {

enum class StartupWindow { Alarm, Settings };

struct Executable {
  std::string_view file_name;  // in the application folder
  std::string_view title;
  StartupWindow startup_window;
};

#ifdef _WIN32
inline constexpr Executable kAlarmExecutable{"Tovrel.exe", "Tovrel프로그램", StartupWindow::Alarm};
inline constexpr Executable kSettingsExecutable{"환경설정.exe", "환경설정",
                                                StartupWindow::Settings};
#else
inline constexpr Executable kAlarmExecutable{"Tovrel", "Tovrel프로그램", StartupWindow::Alarm};
inline constexpr Executable kSettingsExecutable{"환경설정", "환경설정", StartupWindow::Settings};
#endif

/// The executable this process runs: defined by the one source file that differs between them.
extern const Executable& this_executable;

}  // namespace tovrel
