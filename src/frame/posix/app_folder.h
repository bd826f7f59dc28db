// Where the running executable lives on a POSIX system.
#pragma once

#include <string>

namespace tovrel::posix {

/// The folder of the running executable, symlinks resolved (via /proc/self/exe).
std::string executable_folder();

}  // namespace tovrel::posix
