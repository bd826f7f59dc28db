// The program as both executables run it: the startup window, opened and left to its events.
#pragma once

#include "frame/frame.h"
#include "frame/window.h"
#include "program/executables.h"

namespace tovrel {

/// Makes the executable's startup window with all its controls, runs its load handler before the
/// window is first shown, shows it and delivers its events until the program ends. Returns the
/// exit status of the window system's event loop.
int run_program(const Executable& executable, Frame& frame, WindowSystem& windows);

}  // namespace tovrel
