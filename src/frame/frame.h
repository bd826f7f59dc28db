// The services a window's handlers take from the platform, implemented once per window system.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "frame/failure.h"

namespace tovrel {

struct ClockTime {
  int hour = 0;  // 0-23
  int minute = 0;
  int second = 0;
};

class Frame {
 public:
  virtual ~Frame() = default;

  /// The folder that holds the running executable, without a trailing separator except at the root.
  virtual std::string app_folder() const = 0;

  /// The executable's title: the caption of every message box it shows.
  virtual std::string app_title() const = 0;

  /// Shows a modal message box with the text, one OK button and no icon; returns once it is
  /// answered. Events of the executable's windows (timer ticks) keep running while it waits.
  virtual void show_message(const std::string& text) = 0;

  /// Starts a program from a command line and returns at once without waiting for it.
  /// Throws Failure when the program cannot be started.
  virtual void launch(const std::string& command_line) = 0;

  /// Ends the process at once: no further event runs and the caller never continues.
  [[noreturn]] void end_program();

  /// The local wall-clock time.
  virtual ClockTime now() const = 0;

  /// A time as text in the user's time format.
  virtual std::string format_time(ClockTime time) const = 0;

  /// The user's decimal separator.
  virtual std::string decimal_separator() const = 0;

  /// Shows the standard Open dialog; returns the chosen file's full path, or nothing on Cancel.
  /// Throws Failure when the dialog fails.
  virtual std::optional<std::string> choose_file_to_open() = 0;

  /// Runs one piece of the program's work, an event handler or the making of the startup window.
  /// Anything it raises that no failure path caught ends the program with the run-time error
  /// report; once that report is up, no further work runs.
  void dispatch(const std::function<void()>& work);

 protected:
  /// Ends the process with a zero status. Only a test's frame returns.
  virtual void end_process() = 0;

  /// Shows the run-time error report, then ends the process with the error number as its
  /// status. Only a test's frame returns.
  virtual void report_runtime_error(const Failure& failure) = 0;

 private:
  bool reporting_ = false;
};

}  // namespace tovrel
