// A frame for tests: a clock and an Open dialog the test sets, and a record of message boxes,
// launches and the end of the program.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "frame/frame.h"

namespace tovrel::testing {

/// Thrown where the real frame would end the process.
struct ProgramEnded {
  int status;
};

class FakeFrame final : public Frame {
 public:
  std::string folder = "/app";
  std::string title = "Tovrel프로그램";
  ClockTime time{};
  std::string separator = ".";

  std::vector<std::string> messages;
  std::vector<std::string> launches;          // command lines started
  std::set<std::string> unstartable;          // command lines whose program cannot start
  std::function<void()> while_message_waits;  // what happens while a box waits (timer ticks)

  std::optional<std::string> chosen_file;  // the Open dialog's answer; nothing is Cancel
  bool dialog_fails = false;
  int dialogs_shown = 0;

  bool ended = false;
  int exit_status = 0;
  std::optional<Failure> reported_failure;  // what the run-time error report showed

  /// Runs a handler as the window system would. Returns whether the program ended in it.
  bool run(const std::function<void()>& handler);

  std::string app_folder() const override { return folder; }
  std::string app_title() const override { return title; }
  void show_message(const std::string& text) override;
  void launch(const std::string& command_line) override;
  ClockTime now() const override { return time; }
  std::string format_time(ClockTime time) const override;
  std::string decimal_separator() const override { return separator; }
  std::optional<std::string> choose_file_to_open() override;

 protected:
  void end_process() override;
  void report_runtime_error(const Failure& failure) override;
};

}  // namespace tovrel::testing
