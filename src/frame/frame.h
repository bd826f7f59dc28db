// What the windows' handlers stand on: the executable's title, the operating system's services and
// the window system's, each reached in one step, the end of the program, and the running of every
// handler with the run-time error report for a failure that no failure path caught.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "frame/failure.h"
#include "frame/system.h"
#include "frame/user_interface.h"

namespace tovrel {

class Frame {
 public:
  Frame(std::string_view title, System& system, UserInterface& ui)
      : title_(title), system_(system), ui_(ui) {}
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  /// The executable's title: the caption of every message box it shows.
  const std::string& title() const { return title_; }
  System& system() const { return system_; }
  UserInterface& ui() const { return ui_; }

  /// Shows a modal message box with the text and the title as its caption; returns once it is
  /// answered.
  void show_message(const std::string& text) { ui_.show_message(title_, text); }

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

  std::string title_;
  System& system_;
  UserInterface& ui_;
  bool reporting_ = false;
};

}  // namespace tovrel
