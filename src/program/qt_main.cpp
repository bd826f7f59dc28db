// Both executables start here on Linux; which window opens is fixed for each at build time.
#include "frame/os/host_system.h"
#include "frame/ui/qt/desktop.h"
#include "frame/ui/qt/qt_user_interface.h"
#include "frame/ui/qt/qt_window.h"
#include "program/program.h"

int main() {
  const tovrel::Executable& executable = tovrel::this_executable;
  tovrel::DesktopApplication application(executable.application_id);
  tovrel::HostSystem system;
  tovrel::QtWindows windows;
  tovrel::QtUserInterface ui(windows);
  tovrel::Frame frame(executable.title, system, ui);
  return tovrel::run_program(executable, frame, windows);
}
