// Closing a window when the system asks the program to end (SIGTERM, SIGHUP, SIGINT).
#pragma once

class QWidget;

namespace tovrel {

/// From now on those signals close the window, as its close box would.
void close_on_termination(QWidget& window);

}  // namespace tovrel
