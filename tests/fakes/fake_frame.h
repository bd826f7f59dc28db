// A system, frame and window system for tests: a clock and an Open dialog the test sets, windows of
// plain texts, the real file system, and a record of message boxes, launches and the end of the
// program.
#pragma once

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_window.h"
#include "frame/frame.h"
#include "frame/os/file_access.h"
#include "frame/system.h"
#include "frame/window.h"

namespace tovrel::testing {

/// The operating system's part: an application folder, a clock, launches recorded.
class FakeSystem : public System {
 public:
  std::string folder = "/app";
  std::optional<std::string> own_folder;  // set: installed for all users, the user's own folder
  ClockTime time{};
  std::exception_ptr clock_fault;     // what asking the clock raises
  std::vector<std::string> launches;  // command lines started

  bool ended = false;
  int exit_status = 0;

  /// From now on launching the command line raises this (by default: the file is not found).
  void cannot_start(
      const std::string& command_line,
      std::exception_ptr raised = std::make_exception_ptr(Failure(ErrorNumber::FileNotFound)));

  std::string app_folder() const override { return folder; }
  std::optional<std::string> own_settings_folder() const override { return own_folder; }
  void launch(const std::string& command_line) override;
  ClockTime now() const override;
  FileSystem& files() override { return files_; }
  /// Records the end, then unwinds the handler that asked for it.
  [[noreturn]] void exit(int status) override;

 private:
  std::map<std::string, std::exception_ptr> unstartable_;
  SystemFiles files_;
};

/// The system, the window system's services and windows, and the frame on them, in one: the
/// frame of an executable with the title.
class FakeFrame final : public FakeSystem, public UserInterface, public WindowSystem, public Frame {
 public:
  explicit FakeFrame(std::string_view title = "Tovrel프로그램")
      : Frame(title, static_cast<FakeSystem&>(*this), static_cast<UserInterface&>(*this)) {}

  std::string separator = ".";
  std::vector<std::string> messages;
  std::function<void()> while_message_waits;  // what happens while a box waits (timer ticks)

  std::optional<std::string> chosen_file;  // the Open dialog's answer; nothing is Cancel
  std::exception_ptr dialog_fault;         // what the dialog raises instead of answering
  int dialogs_shown = 0;
  std::string dialog_current;  // what the path box held when the dialog was last asked for

  /// Runs work as the window system would run a handler. Returns whether the program ended in it;
  /// once it has ended, nothing more runs.
  bool run(const std::function<void()>& work);

  /// Raises a window's event as the window system would; returns whether the program ended.
  bool raise(EventSink& window, Event event, std::size_t source = kWindow);

  /// The window made last. The frame keeps every window it made, for the test to look at after
  /// the program has let go of it.
  FakeWindow& window() const { return *windows_.back(); }

  void show_message(const std::string& caption, const std::string& text) override;
  std::string format_time(ClockTime time) const override;
  std::string decimal_separator() const override { return separator; }
  std::optional<std::string> choose_file_to_open(const std::string& current) override;

  std::unique_ptr<Window> create_window(const WindowLayout& layout) override;
  int run_event_loop() override { return exit_status; }

 private:
  std::vector<std::unique_ptr<FakeWindow>> windows_;
};

}  // namespace tovrel::testing
