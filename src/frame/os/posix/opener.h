// Opening the chosen file so that a file that does not open is told, also once the alarm has
// ended: xdg-open is started by a child of the alarm that then becomes the opener, a small
// program beside the executables that waits for xdg-open's end and, where xdg-open reports that
// it could not open the file, has the alarm's executable say so in a message box of its own.
#pragma once

#ifdef _WIN32
#error "POSIX code: only the POSIX build includes this header"
#endif

#include <sys/types.h>

#include <string>
#include <string_view>

#include "frame/os/posix/launch.h"

namespace tovrel::posix {

/// The arguments with which the opener starts the alarm's executable to say that the file named
/// after it did not open: the one command line the executables read, which only the opener gives.
inline constexpr std::string_view kSayNotOpened = "--say-not-opened";

/// Starts the program that opens a file (start.opened_file), watched by the opener beside the
/// executables in the folder, and returns once that program has started, without waiting for the
/// opener's own start. Throws Failure when the program cannot be started. Where there is no
/// opener, or it cannot be started, the program runs unwatched.
void open_through_opener(const std::string& folder, const ProcessStart& start);

/// The opener's work, in the opener: waits for the program that opens the file (its child, the
/// process numbered pid) and where that program ends with a status other than 0, starts the
/// alarm's executable beside the opener with kSayNotOpened and the file. Never returns.
[[noreturn]] void watch_opening(pid_t pid, const std::string& file);

}  // namespace tovrel::posix
