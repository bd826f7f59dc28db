// Starting other programs on a POSIX system, never through a shell.
#pragma once

#ifdef _WIN32
#error "POSIX code: only the POSIX build includes this header"
#endif

#include <string>
#include <vector>

namespace tovrel::posix {

struct ProcessStart {
  std::string program;
  std::vector<std::string> arguments;
  bool search_path = false;  // look the program up on PATH
};

/// What a command line starts here: the open-file command line opens its file with xdg-open;
/// any other command line is the path of a program started with no arguments.
ProcessStart process_for_command_line(const std::string& command_line);

/// Starts the program in a session of its own and does not wait for it.
/// Throws Failure when it cannot be started.
void start_detached(const ProcessStart& start);

}  // namespace tovrel::posix
