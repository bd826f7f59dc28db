#include "frame/os/posix/opener.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>

#include "frame/executable_files.h"
#include "frame/open_command.h"
#include "frame/paths.h"

extern char** environ;

namespace tovrel::posix {
namespace {

// Where the opener tells whether the program that opens the file started.
constexpr int kStartedDescriptor = 3;

bool read_all(int descriptor, void* into, std::size_t size) {
  auto* bytes = static_cast<char*>(into);
  while (size > 0) {
    const ssize_t got = ::read(descriptor, bytes, size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

std::string this_executable() {
  std::string path(PATH_MAX, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return path;
}

}  // namespace

void open_through_opener(const std::string& folder, const ProcessStart& start) {
  const std::string opener = join_path(folder, kOpenerFile);
  int started[2];
  if (::access(opener.c_str(), X_OK) != 0 || ::pipe2(started, O_CLOEXEC) != 0) {
    start_detached(start);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, started[1], kStartedDescriptor);
  pid_t pid = 0;
  const int error = spawn_detached({opener, {start.opened_file}, false, {}}, pid, &actions);
  posix_spawn_file_actions_destroy(&actions);
  ::close(started[1]);
  std::int32_t opened = 0;
  const bool told = error == 0 && read_all(started[0], &opened, sizeof opened);
  ::close(started[0]);
  if (error != 0) {
    start_detached(start);
  } else if (!told) {
    throw Failure(ErrorNumber::PathFileAccessError);  // the opener ended before it could tell
  } else if (opened != 0) {
    throw start_failure(opened);
  }
}

void open_and_watch(const std::string& file) {
  const ProcessStart start = process_for_command_line(std::string(kOpenFileCommand) + file);
  pid_t pid = 0;
  const std::int32_t error = spawn_detached(start, pid);
  [[maybe_unused]] const ssize_t told = ::write(kStartedDescriptor, &error, sizeof error);
  ::close(kStartedDescriptor);
  if (error != 0) ::_exit(1);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
    const std::string alarm = join_path(folder_of(this_executable()), kAlarmExecutableFile);
    char* argv[] = {const_cast<char*>(alarm.c_str()), const_cast<char*>(kSayNotOpened.data()),
                    const_cast<char*>(file.c_str()), nullptr};
    ::execve(alarm.c_str(), argv, environ);
  }
  ::_exit(0);
}

}  // namespace tovrel::posix
