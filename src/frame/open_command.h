// The command line that opens a file with the program associated with its type.
#pragma once

#include <string_view>

namespace tovrel {

/// Followed at once by the file, exactly as stored and without quotes.
inline constexpr std::string_view kOpenFileCommand = "explorer.exe ";

}  // namespace tovrel
