// The operating system the program runs on, the one System of both executables. Declared once,
// defined once per system, in posix/ and win32/.
#pragma once

#include <string>

#include "frame/os/file_access.h"
#include "frame/system.h"

namespace tovrel {

class HostSystem final : public System {
 public:
  std::string app_folder() const override;
  std::optional<std::string> own_settings_folder() const override;
  void launch(const std::string& command_line) override;
  ClockTime now() const override;
  FileSystem& files() override { return files_; }
  [[noreturn]] void exit(int status) override;

 private:
  SystemFiles files_;
};

}  // namespace tovrel
