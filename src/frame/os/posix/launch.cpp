// Starting programs on a POSIX system.
#include "frame/os/posix/launch.h"

#include <spawn.h>

#include <cerrno>
#include <csignal>

#include "frame/failure.h"
#include "frame/open_command.h"
#include "frame/os/host_system.h"

extern char** environ;

namespace tovrel::posix {
namespace {

ErrorNumber error_for_errno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return ErrorNumber::FileNotFound;
    case EACCES:
    case EPERM:
      return ErrorNumber::PermissionDenied;
    default:
      return ErrorNumber::PathFileAccessError;
  }
}

// posix_spawn attributes for a program that must not inherit our session or signal state.
class DetachedAttributes {
 public:
  DetachedAttributes() {
    posix_spawnattr_init(&attributes_);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes_, &none);
    posix_spawnattr_setsigdefault(&attributes_, &all);
    posix_spawnattr_setflags(&attributes_,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  ~DetachedAttributes() { posix_spawnattr_destroy(&attributes_); }
  DetachedAttributes(const DetachedAttributes&) = delete;
  DetachedAttributes& operator=(const DetachedAttributes&) = delete;
  const posix_spawnattr_t* get() const { return &attributes_; }

 private:
  posix_spawnattr_t attributes_;
};

}  // namespace

ProcessStart process_for_command_line(const std::string& command_line) {
  if (!command_line.starts_with(kOpenFileCommand)) return {command_line, {}, false};
  std::string file = command_line.substr(kOpenFileCommand.size());
  // xdg-open takes a leading '-' for an option; "./-x" names the same file.
  if (file.starts_with('-')) file.insert(0, "./");
  return {"xdg-open", {std::move(file)}, true};
}

void start_detached(const ProcessStart& start) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(start.program.c_str()));
  for (const auto& argument : start.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const DetachedAttributes attributes;
  pid_t pid = 0;
  const auto spawn = start.search_path ? posix_spawnp : posix_spawn;
  const int error =
      spawn(&pid, start.program.c_str(), nullptr, attributes.get(), argv.data(), environ);
  if (error != 0) throw Failure(error_for_errno(error));
}

}  // namespace tovrel::posix

namespace tovrel {

void HostSystem::launch(const std::string& command_line) {
  posix::start_detached(posix::process_for_command_line(command_line));
}

}  // namespace tovrel
