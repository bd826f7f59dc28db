// Both executables start here; which window opens is fixed for each at build time.
#include <QApplication>

#include "frame/executables.h"
#include "frame/qt/alarm_window.h"
#include "frame/qt/qt_frame.h"
#include "frame/qt/settings_window.h"

int main(int, char**) {
  // The program reads no command line: Qt gets only the program's name.
  int argc = 1;
  char name[] = "tovrel";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);

  tovrel::QtFrame frame(tovrel::this_executable);
  if (tovrel::this_executable.startup_window == tovrel::StartupWindow::Alarm) {
    tovrel::AlarmWindow window(frame);
    frame.set_dialog_owner(&window);
    window.check_at_start();
    window.show();
    return QApplication::exec();
  }
  tovrel::SettingsWindow window(frame);
  frame.set_dialog_owner(&window);
  window.show();
  return QApplication::exec();
}
