// What the tests expect the program to store and show, written once: text in the settings file's
// code page, the settings file as the settings window saves it, and the messages of both windows.
#pragma once

#include <string>
#include <string_view>

#include "settings_store/cp949.h"

namespace tovrel::testing {

/// Text in code page 949, the settings file's own encoding.
inline std::string cp949(std::string_view utf8) { return utf8_to_cp949(utf8).value(); }

/// SETUP.INI as the settings window saves an hour and a file: the section, then both keys, in
/// code page 949 with CR LF line ends.
inline std::string settings_file(std::string_view hour, std::string_view file) {
  return cp949("[환경설정]\r\n일어날 시간=" + std::string(hour) +
               "\r\n원하는 파일=" + std::string(file) + "\r\n");
}

// The messages, as the user reads them.
inline constexpr char kSettingsMissing[] = "파일이 정상적이지 않습니다. 환경설정부터 해주세요.";
inline constexpr char kLoaded[] = "불러오기가 완료 되었습니다.";
inline constexpr char kFileNotValid[] = "파일이 정상적이지 않습니다.";
inline constexpr char kSaved[] = "저장하기가 완료 되었습니다.";
inline constexpr char kInputNotValid[] = "입력이 정상적이지 않습니다. 다시 입력해주세요.";

}  // namespace tovrel::testing
