// Both executables start here on Linux; which window opens is fixed for each at build time.
#include <string>

#include "frame/os/host_system.h"
#include "frame/os/posix/opener.h"
#include "frame/ui/qt/desktop.h"
#include "frame/ui/qt/qt_user_interface.h"
#include "frame/ui/qt/qt_window.h"
#include "program/program.h"

namespace {

// Where the file did not open (deleted or moved since it was chosen, say), as the file's own
// opener on Windows would say; the alarm may have ended by then, so the opener has it said by a
// process of its own.
void say_the_file_did_not_open(const std::string& file) {
  const tovrel::Executable& alarm = tovrel::kAlarmExecutable;
  tovrel::DesktopApplication application(alarm.application_id);
  tovrel::QtWindows windows;
  tovrel::QtUserInterface(windows).show_message(std::string(alarm.title),
                                                "파일을 열 수 없습니다:\n" + file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && argv[1] == tovrel::posix::kSayNotOpened) {
    say_the_file_did_not_open(argv[2]);
    return 0;
  }
  const tovrel::Executable& executable = tovrel::this_executable;
  tovrel::DesktopApplication application(executable.application_id);
  tovrel::HostSystem system;
  tovrel::QtWindows windows;
  tovrel::QtUserInterface ui(windows);
  tovrel::Frame frame(executable.title, system, ui);
  return tovrel::run_program(executable, frame, windows);
}
