// Starting other programs on a POSIX system, never through a shell.
#pragma once

#ifdef _WIN32
#error "POSIX code: only the POSIX build includes this header"
#endif

#include <spawn.h>
#include <sys/types.h>

#include <string>
#include <vector>

#include "frame/failure.h"

namespace tovrel::posix {

struct ProcessStart {
  std::string program;
  std::vector<std::string> arguments;
  bool search_path = false;  // look the program up on PATH
  std::string opened_file;   // the file it opens, as the command line named it; empty if none
};

/// What a command line starts here: the open-file command line opens its file with xdg-open;
/// any other command line is the path of a program started with no arguments.
ProcessStart process_for_command_line(const std::string& command_line);

/// Starts the program in a session of its own and does not wait for it.
/// Throws Failure when it cannot be started.
void start_detached(const ProcessStart& start);

/// A program made ready to start in a session of its own, with nothing inherited of our signal
/// state; starting it then allocates nothing, as in a child of vfork, which shares our memory.
/// It holds the start's texts, which must outlive it.
class DetachedStart {
 public:
  explicit DetachedStart(const ProcessStart& start);
  ~DetachedStart();
  DetachedStart(const DetachedStart&) = delete;
  DetachedStart& operator=(const DetachedStart&) = delete;

  /// Starts it: 0, with its process id in pid, or the error that kept it from starting (an errno
  /// value).
  int spawn(pid_t& pid) const;

 private:
  std::vector<char*> argv_;
  bool search_path_;
  posix_spawnattr_t attributes_;
};

/// The failure a program that could not start is, by the error that kept it from starting.
Failure start_failure(int error);

}  // namespace tovrel::posix
