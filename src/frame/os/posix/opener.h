// Opening files with xdg-open from a process of the program's own, which waits to see whether the
// file could be opened and says so when it could not: by then the alarm may have ended.
#pragma once

#ifdef _WIN32
#error "POSIX code: only the POSIX build includes this header"
#endif

#include <functional>
#include <string>

#include "frame/os/posix/launch.h"

namespace tovrel::posix {

class Opener {
 public:
  /// Runs in a process of its own when the program that opened a file reported that it could not
  /// (it ended with a status other than 0); it shows the user a message that names the file.
  using FailureReport = std::function<void(const std::string& file)>;

  /// Forks the opener. Made while the process has no thread but its own (before the window system
  /// starts), so that the opener can still start a window system of its own to report on. While
  /// it lives, it is the one the host system's launch opens files through.
  explicit Opener(FailureReport report);
  /// The opener ends once it has seen the end of every program it started.
  ~Opener();
  Opener(const Opener&) = delete;
  Opener& operator=(const Opener&) = delete;

  /// The opener made in this process and still living, or null.
  static Opener* of_this_process();

  /// Starts the program through the opener, which watches it; returns once it has started.
  /// Throws Failure when it cannot be started. Where the opener is gone, starts it unwatched.
  void open(const ProcessStart& start);

 private:
  int requests_ = -1;  // this end of the socket to the opener; -1 without one
};

}  // namespace tovrel::posix
