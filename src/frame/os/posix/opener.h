// Opening the chosen file so that a file that does not open is told, also once the alarm has
// ended: through the opener, a small program beside the executables that starts xdg-open, waits
// for its end, and where xdg-open reports that it could not open the file, has the alarm's
// executable say so in a message box of its own.
#pragma once

#ifdef _WIN32
#error "POSIX code: only the POSIX build includes this header"
#endif

#include <string>
#include <string_view>

#include "frame/os/posix/launch.h"

namespace tovrel::posix {

/// The arguments with which the opener starts the alarm's executable to say that the file named
/// after it did not open: the one command line the executables read, which only the opener gives.
inline constexpr std::string_view kSayNotOpened = "--say-not-opened";

/// Starts the opener beside the executables in the folder on the file that start opens, and
/// returns without waiting for it. Throws Failure when the program that opens files cannot be
/// found on PATH, or the opener cannot be started. Where there is no opener, starts that program
/// unwatched.
void open_through_opener(const std::string& folder, const ProcessStart& start);

/// The opener's work, in the opener: opens the file as the open-file command line would and
/// waits for the program that opens it; where that program cannot be started or ends with a
/// status other than 0, starts the alarm's executable beside the opener with kSayNotOpened and
/// the file. Never returns.
[[noreturn]] void open_and_watch(const std::string& file);

}  // namespace tovrel::posix
