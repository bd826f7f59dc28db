#include "frame/os/posix/opener.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>

#include "frame/executable_files.h"
#include "frame/failure.h"
#include "frame/os/host_system.h"
#include "frame/paths.h"

extern char** environ;

namespace tovrel::posix {
namespace {

// The opener lies beside the alarm's executable.
[[noreturn]] void have_the_alarm_say_not_opened(const std::string& file) {
  try {
    const std::string alarm = join_path(HostSystem().app_folder(), kAlarmExecutableFile);
    char* argv[] = {const_cast<char*>(alarm.c_str()), const_cast<char*>(kSayNotOpened.data()),
                    const_cast<char*>(file.c_str()), nullptr};
    ::execve(alarm.c_str(), argv, environ);
  } catch (const Failure&) {
  }
  ::_exit(1);
}

}  // namespace

void open_through_opener(const std::string& folder, const ProcessStart& start) {
  const DetachedStart program(start);
  std::string opener = join_path(folder, kOpenerFile);
  std::string file = start.opened_file;
  char pid_text[24] = {};
  char* argv[] = {opener.data(), pid_text, file.data(), nullptr};
  sigset_t none;
  sigemptyset(&none);
  volatile int error = 0;
  volatile bool watched = false;
  // The child starts the program, so that it is the program's parent and may wait for its end,
  // then becomes the opener; this process goes on once it has (vfork), not once the opener runs.
  // Sharing this process's memory, the child only makes system calls.
  const pid_t child = ::vfork();
  if (child == 0) {
    pid_t pid = 0;
    error = program.spawn(pid);
    if (error == 0) {
      *std::to_chars(pid_text, pid_text + sizeof pid_text - 1, pid).ptr = '\0';
      ::setsid();
      ::sigprocmask(SIG_SETMASK, &none, nullptr);
      watched = true;
      ::execve(opener.c_str(), argv, environ);
      watched = false;
    }
    ::_exit(0);
  }
  if (child < 0) {
    start_detached(start);
    return;
  }
  if (!watched) ::waitpid(child, nullptr, 0);
  if (error != 0) throw start_failure(error);
}

void watch_opening(pid_t pid, const std::string& file) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0) have_the_alarm_say_not_opened(file);
  ::_exit(0);
}

}  // namespace tovrel::posix
