// What the operating system does for a window's handlers, the same under every window system.
#pragma once

#include <optional>
#include <string>

#include "settings_store/file_system.h"

namespace tovrel {

struct ClockTime {
  int hour = 0;  // 0-23
  int minute = 0;
  int second = 0;
};

class System {
 public:
  virtual ~System() = default;

  /// The folder that holds the running executable, its links resolved, without a trailing
  /// separator except at the root.
  virtual std::string app_folder() const = 0;

  /// Where the program was installed for all users, so that the folder beside the executables is
  /// the administrators', the folder of this user's own settings; nothing where the settings live
  /// beside the executables.
  virtual std::optional<std::string> own_settings_folder() const = 0;

  /// Starts a program from a command line and returns at once without waiting for it.
  /// Throws Failure when the program cannot be started.
  virtual void launch(const std::string& command_line) = 0;

  /// The local wall-clock time.
  virtual ClockTime now() const = 0;

  /// The files the settings file is read and saved through.
  virtual FileSystem& files() = 0;

  /// Ends the process at once with the status, output flushed. Never returns: a test's system
  /// unwinds instead.
  [[noreturn]] virtual void exit(int status) = 0;
};

}  // namespace tovrel
