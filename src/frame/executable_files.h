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
/// The alarm's helper that opens its file and watches how that goes (frame/os/posix/opener.h).
inline constexpr std::string_view kOpenerFile = "tovrel-opener";
#endif

}  // namespace tovrel
