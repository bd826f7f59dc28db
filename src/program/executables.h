// The two executables built from one program: their titles, startup windows and application ids.
// Their file names are the frame's (frame/executable_files.h).
#pragma once

#include <string_view>

namespace tovrel {

enum class StartupWindow { Alarm, Settings };

struct Executable {
  std::string_view title;
  StartupWindow startup_window;
  // The name a desktop files the executable's windows under: its desktop entry's, and its icon's.
  std::string_view application_id;
};

inline constexpr Executable kAlarmExecutable{
    .title = "Tovrel프로그램", .startup_window = StartupWindow::Alarm, .application_id = "tovrel"};
inline constexpr Executable kSettingsExecutable{.title = "환경설정",
                                                .startup_window = StartupWindow::Settings,
                                                .application_id = "tovrel-settings"};

/// The executable this process runs: defined by the one source file that differs between them.
extern const Executable& this_executable;

}  // namespace tovrel
