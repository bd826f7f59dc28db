// The frame on Windows: message boxes, the Open dialog, the clock and the locale, program ends.
#pragma once

#include "frame/executables.h"
#include "frame/frame.h"

namespace tovrel::win32 {

class Win32Frame final : public Frame {
 public:
  explicit Win32Frame(const Executable& executable) : executable_(executable) {}

  std::string app_folder() const override;
  std::string app_title() const override;
  void show_message(const std::string& text) override;
  void launch(const std::string& command_line) override;
  ClockTime now() const override;
  std::string format_time(ClockTime time) const override;
  std::string decimal_separator() const override;
  std::optional<std::string> choose_file_to_open() override;

 protected:
  [[noreturn]] void end_process() override;
  [[noreturn]] void report_runtime_error(const Failure& failure) override;

 private:
  const Executable& executable_;
};

}  // namespace tovrel::win32
