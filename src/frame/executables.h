// The two executables built from one program: file names, titles and startup windows.
#pragma once

#include <string_view>

namespace tovrel {

enum class StartupWindow { Alarm, Settings };

struct Executable {
  std::string_view file_name;  // in the application folder
  std::string_view title;
  StartupWindow startup_window;
  // The name a desktop files the executable's windows under: its desktop entry's, and its icon's.
  std::string_view application_id;
};

#ifdef _WIN32
inline constexpr Executable kAlarmExecutable{"Tovrel.exe", "Tovrel프로그램", StartupWindow::Alarm,
                                             "tovrel"};
inline constexpr Executable kSettingsExecutable{"환경설정.exe", "환경설정", StartupWindow::Settings,
                                                "tovrel-settings"};
#else
inline constexpr Executable kAlarmExecutable{"Tovrel", "Tovrel프로그램", StartupWindow::Alarm,
                                             "tovrel"};
inline constexpr Executable kSettingsExecutable{"환경설정", "환경설정", StartupWindow::Settings,
                                                "tovrel-settings"};
#endif

/// The executable this process runs: defined by the one source file that differs between them.
extern const Executable& this_executable;

}  // namespace tovrel
