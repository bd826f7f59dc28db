// File names in the application folder.
#pragma once

#include <string>
#include <string_view>

namespace tovrel {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

/// The folder, a separator and the name. A folder that already ends in a separator (the root)
/// gets a second one, which the system accepts.
std::string join_path(std::string_view folder, std::string_view name,
                      char separator = kPathSeparator);

/// The folder part of a full file path, without a trailing separator except at the root: "/", or
/// a drive's "C:\" where the separator is '\'.
std::string folder_of(std::string_view file_path, char separator = kPathSeparator);

}  // namespace tovrel
