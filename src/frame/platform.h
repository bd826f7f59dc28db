// What the operating system does for every window system: the executable's folder, starting
// programs, the clock and the end of the process. Implemented once per system, in posix/ and
// win32/.
#pragma once

#include <string>

#include "frame/system.h"

namespace tovrel::platform {

/// The folder of the running executable, its links resolved, without a trailing separator except
/// at the root.
std::string executable_folder();

/// Starts the program a command line names, in a normal window with the focus, and does not wait
/// for it. Throws Failure when it cannot be started.
void start_program(const std::string& command_line);

/// The local wall-clock time.
ClockTime local_time();

/// Ends the process at once with the status, output flushed.
[[noreturn]] void exit_process(int status);

}  // namespace tovrel::platform
