// Opening files with xdg-open from a process of the program's own, which waits to see whether the
// file could be opened and says so when it could not: by then the alarm may have ended. The opener
// is the program's own executable started once more, so that it can start a window system of its
// own to say so, and shares no memory with the program.
#pragma once

#ifdef _WIN32
#error "POSIX code: only the POSIX build includes this header"
#endif

#include <functional>
#include <string>
#include <string_view>

#include "frame/os/posix/launch.h"

namespace tovrel::posix {

/// The argument with which the program starts its own executable as its opener: the one command
/// line the executables read, given by no one else.
inline constexpr std::string_view kServeAsOpener = "--serve-as-opener";

class Opener {
 public:
  /// Runs in a process of its own when the program that opened a file reported that it could not
  /// (it ended with a status other than 0); it shows the user a message that names the file.
  using FailureReport = std::function<void(const std::string& file)>;

  /// Starts the opener: this process's executable once more, with kServeAsOpener. While this
  /// lives, it is the one the host system's launch opens files through.
  Opener();
  /// The opener ends once it has seen the end of every program it started.
  ~Opener();
  Opener(const Opener&) = delete;
  Opener& operator=(const Opener&) = delete;

  /// The opener made in this process and still living, or null.
  static Opener* of_this_process();

  /// Starts the program through the opener, which watches it; returns once it has started.
  /// Throws Failure when it cannot be started. Where the opener is gone, starts it unwatched.
  void open(const ProcessStart& start);

  /// In the executable started with kServeAsOpener: starts each program the executable that
  /// started it asks for, until that one ends, and reports each file one could not open; ends
  /// once the last of them has. Never returns.
  [[noreturn]] static void serve(const FailureReport& report);

 private:
  int requests_ = -1;  // this end of the socket to the opener; -1 without one
};

}  // namespace tovrel::posix
