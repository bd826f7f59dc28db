// The window system's services on Qt: message boxes, the Open dialog and the locale's time format
// and decimal separator.
#pragma once

#include "frame/ui/qt/qt_window.h"
#include "frame/user_interface.h"

namespace tovrel {

class QtUserInterface final : public UserInterface {
 public:
  /// Message boxes and dialogs belong to the window the window system made last.
  explicit QtUserInterface(const QtWindows& windows) : windows_(windows) {}

  void show_message(const std::string& caption, const std::string& text) override;
  std::string format_time(ClockTime time) const override;
  std::string decimal_separator() const override;
  std::optional<std::string> choose_file_to_open(const std::string& current) override;

 private:
  const QtWindows& windows_;
};

}  // namespace tovrel
