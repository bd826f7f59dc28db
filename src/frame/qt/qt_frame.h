// The frame on Qt: message boxes, the Open dialog, the clock and the locale, and program ends.
#pragma once

#include "frame/executables.h"
#include "frame/frame.h"
#include "frame/qt/qt_window.h"

namespace tovrel {

class QtFrame final : public Frame {
 public:
  /// Message boxes and dialogs belong to the window the window system made last.
  QtFrame(const Executable& executable, const QtWindows& windows);

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
  const QtWindows& windows_;
};

}  // namespace tovrel
