// Both executables start here; which window opens is fixed for each at build time.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "frame/executables.h"
#include "frame/program.h"
#include "frame/win32/win32_frame.h"
#include "frame/win32/win32_window.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The program reads no command line.
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);

  tovrel::win32::Win32Frame frame(tovrel::this_executable);
  tovrel::win32::Win32Windows windows(frame);
  return tovrel::run_program(tovrel::this_executable, frame, windows);
}
