// Both executables start here; which window opens is fixed for each at build time.
#include <QApplication>
#include <string>
#include <vector>

#include "frame/executables.h"
#include "frame/program.h"
#include "frame/qt/desktop.h"
#include "frame/qt/qt_frame.h"
#include "frame/qt/qt_window.h"

int main(int, char**) {
  // The program reads no command line. Qt gets the application id as the program's name, which
  // X11 reports as the windows' class, and the window system to run on.
  std::string name(tovrel::this_executable.application_id);
  QByteArray platform = tovrel::platform_for_session();
  char platform_option[] = "-platform";
  std::vector<char*> argv{name.data()};
  if (!platform.isEmpty()) argv.insert(argv.end(), {platform_option, platform.data()});
  int argc = static_cast<int>(argv.size());
  argv.push_back(nullptr);
  QApplication application(argc, argv.data());
  tovrel::settle_into_desktop(tovrel::this_executable);

  tovrel::QtWindows windows;
  tovrel::QtFrame frame(tovrel::this_executable, windows);
  return tovrel::run_program(tovrel::this_executable, frame, windows);
}
