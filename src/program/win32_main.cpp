// Both executables start here on Windows; which window opens is fixed for each at build time.
#include <windows.h>

#include "frame/os/host_system.h"
#include "frame/ui/win32/win32_user_interface.h"
#include "frame/ui/win32/win32_window.h"
#include "program/program.h"

// The program reads no command line. Its controls are the common controls of the manifest, which
// the system loads with the first control made: no call asks for them before.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const tovrel::Executable& executable = tovrel::this_executable;
  tovrel::HostSystem system;
  tovrel::win32::Win32UserInterface ui;
  tovrel::Frame frame(executable.title, system, ui);
  tovrel::win32::Win32Windows windows(frame);
  return tovrel::run_program(executable, frame, windows);
}
