// The frame on Qt: message boxes, the Open dialog and the locale's time format and decimal
// separator.
#pragma once

#include "frame/frame.h"
#include "frame/qt/qt_window.h"

namespace tovrel {

class QtFrame final : public Frame {
 public:
  /// Message boxes and dialogs belong to the window the window system made last.
  QtFrame(System& system, const QtWindows& windows) : Frame(system), windows_(windows) {}

  void show_message(const std::string& text) override;
  std::string format_time(ClockTime time) const override;
  std::string decimal_separator() const override;
  std::optional<std::string> choose_file_to_open(const std::string& current) override;

 private:
  const QtWindows& windows_;
};

}  // namespace tovrel
