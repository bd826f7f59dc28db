// Starting other programs on a POSIX system, never through a shell.
#pragma once

#ifdef _WIN32
#error "POSIX code: only the POSIX build includes this header"
#endif

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

/// Starts the program in a session of its own: its process id, or the error that kept it from
/// starting (an errno value).
int spawn_detached(const ProcessStart& start, pid_t& pid);

/// The failure a program that could not start is, by the error that kept it from starting.
Failure start_failure(int error);

}  // namespace tovrel::posix
