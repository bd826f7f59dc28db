// Both executables start here; which window opens is fixed for each at build time.
#include <QApplication>

#include "frame/executables.h"
#include "frame/program.h"
#include "frame/qt/qt_frame.h"
#include "frame/qt/qt_window.h"

int main(int, char**) {
  // The program reads no command line: Qt gets only the program's name.
  int argc = 1;
  char name[] = "tovrel";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);

  tovrel::QtWindows windows;
  tovrel::QtFrame frame(tovrel::this_executable, windows);
  return tovrel::run_program(tovrel::this_executable, frame, windows);
}
