// The two executables' file names in the application folder, under which the windows start each
// other.
#pragma once

#include <string_view>

namespace tovrel {

#ifdef _WIN32
inline constexpr std::string_view kAlarmExecutableFile = "Tovrel.exe";
inline constexpr std::string_view kSettingsExecutableFile = "환경설정.exe";
#else
inline constexpr std::string_view kAlarmExecutableFile = "Tovrel";
inline constexpr std::string_view kSettingsExecutableFile = "환경설정";
#endif

}  // namespace tovrel
