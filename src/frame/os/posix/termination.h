// The system asking the program to end (SIGTERM, SIGHUP, SIGINT), turned into something an event
// loop can wait for, so that the window closes as its close box would close it.
#pragma once

#ifdef _WIN32
#error "POSIX code: only the POSIX build includes this header"
#endif

namespace tovrel::posix {

/// From the first call on, those signals no longer end the process: each makes the descriptor
/// returned readable until take_termination_request() is called. -1 where none can be made.
int termination_requests();

/// Takes one request off the descriptor.
void take_termination_request();

}  // namespace tovrel::posix
