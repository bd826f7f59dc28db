// Both executables start here; which window opens is fixed for each at build time.
#include <QApplication>
#include <string>
#include <vector>

#include "frame/host_system.h"
#include "frame/qt/desktop.h"
#include "frame/qt/qt_frame.h"
#include "frame/qt/qt_window.h"
#include "program/program.h"

int main(int, char**) {
  const tovrel::Executable& executable = tovrel::this_executable;
  // The program reads no command line. Qt gets the application id as the program's name, which
  // X11 reports as the windows' class, and the window system to run on.
  std::string name(executable.application_id);
  QByteArray platform = tovrel::platform_for_session();
  char platform_option[] = "-platform";
  std::vector<char*> argv{name.data()};
  if (!platform.isEmpty()) argv.insert(argv.end(), {platform_option, platform.data()});
  int argc = static_cast<int>(argv.size());
  argv.push_back(nullptr);
  const QtMessageHandler handler = tovrel::end_quietly_without_display(executable.application_id);
  QApplication application(argc, argv.data());
  qInstallMessageHandler(handler);
  tovrel::settle_into_desktop(executable.application_id);

  tovrel::HostSystem system(executable.title);
  tovrel::QtWindows windows;
  tovrel::QtFrame frame(system, windows);
  return tovrel::run_program(executable, frame, windows);
}
