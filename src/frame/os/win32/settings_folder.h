// Where a user's own settings go on Windows.
#pragma once

#ifndef _WIN32
#error "Win32 code: only the Windows build includes this header"
#endif

#include <optional>
#include <string>

namespace tovrel::win32 {

/// The Apps entry under which the setup registers an install, under the machine's key for an
/// install for all users.
inline constexpr wchar_t kAppsEntry[] =
    LR"(Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovrel)";

/// Where the setup installed the executables for all users (the machine's Apps entry names their
/// folder as its install location), the folder of the user's own settings: Tovrel in the user's
/// local application data. Nothing elsewhere: the settings live beside the executables.
std::optional<std::string> own_settings_folder(const std::string& app_folder);

}  // namespace tovrel::win32
