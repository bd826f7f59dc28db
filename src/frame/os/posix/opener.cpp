#include "frame/os/posix/opener.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "frame/executable_files.h"
#include "frame/open_command.h"
#include "frame/paths.h"

extern char** environ;

namespace tovrel::posix {
namespace {

std::string this_executable() {
  std::string path(PATH_MAX, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return path;
}

// What would keep posix_spawnp from starting the program, found before the opener tries: 0 when
// PATH holds a file of that name that may be run, else ENOENT, or EACCES where only files that
// may not be run were found.
int error_finding_on_path(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string_view folders = path ? path : "/bin:/usr/bin";
  int error = ENOENT;
  while (true) {
    const std::size_t end = std::min(folders.find(':'), folders.size());
    const std::string_view folder = folders.substr(0, end);
    const std::string candidate = join_path(folder.empty() ? "." : std::string(folder), program);
    struct stat status {};
    if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
      if (::access(candidate.c_str(), X_OK) == 0) return 0;
      error = EACCES;
    }
    if (end == folders.size()) return error;
    folders.remove_prefix(end + 1);
  }
}

[[noreturn]] void have_the_alarm_say_not_opened(const std::string& file) {
  const std::string alarm = join_path(folder_of(this_executable()), kAlarmExecutableFile);
  char* argv[] = {const_cast<char*>(alarm.c_str()), const_cast<char*>(kSayNotOpened.data()),
                  const_cast<char*>(file.c_str()), nullptr};
  ::execve(alarm.c_str(), argv, environ);
  ::_exit(1);
}

}  // namespace

void open_through_opener(const std::string& folder, const ProcessStart& start) {
  const std::string opener = join_path(folder, kOpenerFile);
  if (::access(opener.c_str(), X_OK) != 0) {
    start_detached(start);
    return;
  }
  // The alarm does not wait for the opener to start the program: what keeps it from starting is
  // looked for here, so that the launch still fails at once.
  if (const int error = error_finding_on_path(start.program); error != 0) {
    throw start_failure(error);
  }
  start_detached({opener, {start.opened_file}, false, {}});
}

void open_and_watch(const std::string& file) {
  const ProcessStart start = process_for_command_line(std::string(kOpenFileCommand) + file);
  pid_t pid = 0;
  if (spawn_detached(start, pid) != 0) have_the_alarm_say_not_opened(file);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0) have_the_alarm_say_not_opened(file);
  ::_exit(0);
}

}  // namespace tovrel::posix
