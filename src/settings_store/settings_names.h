// The settings file and the names under which the two settings are stored. The settings window
// shows these names as its caption and label captions; every reader and writer uses them.
#pragma once

#include <string_view>

namespace tovrel {

inline constexpr std::string_view kSettingsFileName = "SETUP.INI";
inline constexpr std::string_view kSettingsSection = "환경설정";
inline constexpr std::string_view kHourKey = "일어날 시간";
inline constexpr std::string_view kFileKey = "원하는 파일";

}  // namespace tovrel
