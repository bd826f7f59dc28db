// The alarm window's handlers: the start-up check and the self-ending tick.
#pragma once

#include <optional>

#include "frame/controls.h"
#include "frame/frame.h"

namespace tovrel::alarm_window {

class AlarmWindow {
 public:
  AlarmWindow(Frame& frame, Controls& controls);

  /// The start-up check, run once while the window is created, before it is shown: reads the
  /// settings, shows the hours left and opens the file when the set hour has come. With a setting
  /// missing it says so, starts the settings executable and ends the program.
  void load();

  /// Timer1, every second from the window's creation: shows the time and the tick counter, and
  /// ends the program at the third tick after a passed check, but never while the
  /// missing-settings message waits for its answer.
  void timer1_tick();

 private:
  void compare_hours(const std::string& hour_setting, const std::string& command_line);
  [[noreturn]] void settings_missing();
  void show_time();

  Frame& frame_;
  Controls& controls_;
  // Unset until the start-up check passes; ticks under the missing-settings message box count
  // from unset (shown empty).
  std::optional<int> tick_counter_;
  // The missing-settings path has begun: its message must be answered and the settings
  // executable started before the program ends, however long the user takes.
  bool sending_user_to_settings_ = false;
};

}  // namespace tovrel::alarm_window
