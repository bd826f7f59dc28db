// A sandbox with a settings file in it, for the tests of reading and saving it.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "fakes/expected_texts.h"
#include "fakes/sandbox.h"
#include "frame/os/file_access.h"
#include "settings_store/settings_file.h"

namespace tovrel::testing {

inline const std::array<Setting, 2> kSettings = {Setting{"일어날 시간", "7"},
                                                 Setting{"원하는 파일", "/음악/아침 노래.mp3"}};

class SettingsFileSandbox : public Sandbox {
 protected:
  std::string ini() const { return path("SETUP.INI"); }
  SystemFiles files;  // the system's own, which the programs read and save through
  std::string hour() const {
    return SettingsSnapshot(files, ini()).value("환경설정", "일어날 시간");
  }
};

}  // namespace tovrel::testing
