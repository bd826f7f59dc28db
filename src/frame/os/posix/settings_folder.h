// Where a user's own settings go on a POSIX system.
#pragma once

#ifdef _WIN32
#error "POSIX code: only the POSIX build includes this header"
#endif

#include <sys/types.h>

#include <optional>
#include <string>

namespace tovrel::posix {

/// Where the user does not own the folder of the executables (a package installed them for all
/// users), the folder of the user's own settings: tovrel in $XDG_CONFIG_HOME, or in ~/.config.
/// Nothing where the folder is the user's: the settings live beside the executables.
std::optional<std::string> own_settings_folder(const std::string& app_folder, uid_t user);

}  // namespace tovrel::posix
