// The services a window's handlers take from the platform: the operating system's, the same for
// every window system, and the window system's own, implemented once per window system.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "frame/failure.h"
#include "frame/system.h"

namespace tovrel {

class Frame {
 public:
  explicit Frame(System& system) : system_(system) {}
  virtual ~Frame() = default;
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  // The operating system's services (see System).
  std::string app_folder() const { return system_.app_folder(); }
  std::string app_title() const { return system_.app_title(); }
  void launch(const std::string& command_line) { system_.launch(command_line); }
  ClockTime now() const { return system_.now(); }
  FileSystem& files() { return system_.files(); }

  /// Shows a modal message box with the text, the application title as its caption, one OK
  /// button and no icon; returns once it is answered. Events of the executable's windows (timer
  /// ticks) keep running while it waits.
  virtual void show_message(const std::string& text) = 0;

  /// A time as text in the user's time format.
  virtual std::string format_time(ClockTime time) const = 0;

  /// The user's decimal separator.
  virtual std::string decimal_separator() const = 0;

  /// Shows the standard Open dialog; returns the chosen file's full path, or nothing on Cancel.
  /// `current` is what the path box holds: where the system's dialog has no start folder of its
  /// own, it opens in that file's folder, or in the user's home. Throws Failure when the dialog
  /// fails.
  virtual std::optional<std::string> choose_file_to_open(const std::string& current) = 0;

  /// Ends the process at once: no further event runs and the caller never continues.
  [[noreturn]] void end_program();

  /// Runs one piece of the program's work, an event handler or the making of the startup window.
  /// Anything it raises that no failure path caught ends the program with the run-time error
  /// report; once that report is up, no further work runs.
  void dispatch(const std::function<void()>& work);

 private:
  /// Shows the run-time error report, then ends the process with the error number as its status.
  [[noreturn]] void report_runtime_error(const Failure& failure);
  [[noreturn]] void exit(int status);

  System& system_;
  bool reporting_ = false;
};

}  // namespace tovrel
