// What the window system does for a window's handlers besides the windows themselves: message
// boxes, the Open dialog, and the user's time format and decimal separator. Implemented once per
// window system.
#pragma once

#include <optional>
#include <string>

#include "frame/system.h"

namespace tovrel {

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  /// Shows a modal message box with one OK button and no icon; returns once it is answered.
  /// Events of the executable's windows (timer ticks) keep running while it waits.
  virtual void show_message(const std::string& caption, const std::string& text) = 0;

  /// A time as text in the user's time format.
  virtual std::string format_time(ClockTime time) const = 0;

  /// The user's decimal separator.
  virtual std::string decimal_separator() const = 0;

  /// Shows the standard Open dialog; returns the chosen file's full path, or nothing on Cancel.
  /// `current` is what the path box holds: where the system's dialog has no start folder of its
  /// own, it opens in that file's folder, or in the user's home. Throws Failure when the dialog
  /// fails.
  virtual std::optional<std::string> choose_file_to_open(const std::string& current) = 0;
};

}  // namespace tovrel
