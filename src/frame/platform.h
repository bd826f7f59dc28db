// What the operating system does for every window system: the executable's folder and starting
// programs. Implemented once per system, in posix/ and win32/.
#pragma once

#include <string>

namespace tovrel::platform {

/// The folder of the running executable, its links resolved, without a trailing separator except
/// at the root.
std::string executable_folder();

/// Starts the program a command line names, in a normal window with the focus, and does not wait
/// for it. Throws Failure when it cannot be started.
void start_program(const std::string& command_line);

}  // namespace tovrel::platform
