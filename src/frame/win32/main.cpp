// Both executables start here; which window opens is fixed for each at build time.
#include <windows.h>

#include "frame/executables.h"
#include "frame/program.h"
#include "frame/win32/win32_frame.h"
#include "frame/win32/win32_window.h"

// The program reads no command line. Its controls are the common controls of the manifest, which
// the system loads with the first control made: no call asks for them before.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  tovrel::win32::Win32Frame frame(tovrel::this_executable);
  tovrel::win32::Win32Windows windows(frame);
  return tovrel::run_program(tovrel::this_executable, frame, windows);
}
