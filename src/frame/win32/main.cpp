// Both executables start here; which window opens is fixed for each at build time.
#include <windows.h>

#include "frame/host_system.h"
#include "frame/win32/win32_frame.h"
#include "frame/win32/win32_window.h"
#include "program/program.h"

// The program reads no command line. Its controls are the common controls of the manifest, which
// the system loads with the first control made: no call asks for them before.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const tovrel::Executable& executable = tovrel::this_executable;
  tovrel::HostSystem system(executable.title);
  tovrel::win32::Win32Frame frame(system);
  tovrel::win32::Win32Windows windows(frame);
  return tovrel::run_program(executable, frame, windows);
}
