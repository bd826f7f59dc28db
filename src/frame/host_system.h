// The operating system the program runs on, as every window system hands it to the windows.
#pragma once

#include <string>
#include <string_view>

#include "frame/file_access.h"
#include "frame/system.h"

namespace tovrel {

class HostSystem final : public System {
 public:
  explicit HostSystem(std::string_view title) : title_(title) {}

  std::string app_folder() const override;
  std::string app_title() const override { return title_; }
  void launch(const std::string& command_line) override;
  ClockTime now() const override;
  FileSystem& files() override { return files_; }
  [[noreturn]] void exit(int status) override;

 private:
  std::string title_;
  SystemFiles files_;
};

}  // namespace tovrel
