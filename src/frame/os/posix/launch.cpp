// Starting programs on a POSIX system.
#include "frame/os/posix/launch.h"

#include <spawn.h>

#include <cerrno>
#include <csignal>

#include "frame/failure.h"
#include "frame/open_command.h"
#include "frame/os/host_system.h"
#include "frame/os/posix/opener.h"

extern char** environ;

namespace tovrel::posix {

Failure start_failure(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return Failure(ErrorNumber::FileNotFound);
    case EACCES:
    case EPERM:
      return Failure(ErrorNumber::PermissionDenied);
    default:
      return Failure(ErrorNumber::PathFileAccessError);
  }
}

ProcessStart process_for_command_line(const std::string& command_line) {
  if (!command_line.starts_with(kOpenFileCommand)) return {command_line, {}, false, {}};
  const std::string file = command_line.substr(kOpenFileCommand.size());
  // xdg-open takes a leading '-' for an option; "./-x" names the same file.
  return {"xdg-open", {file.starts_with('-') ? "./" + file : file}, true, file};
}

DetachedStart::DetachedStart(const ProcessStart& start) : search_path_(start.search_path) {
  argv_.push_back(const_cast<char*>(start.program.c_str()));
  for (const auto& argument : start.arguments) argv_.push_back(const_cast<char*>(argument.c_str()));
  argv_.push_back(nullptr);

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

DetachedStart::~DetachedStart() { posix_spawnattr_destroy(&attributes_); }

int DetachedStart::spawn(pid_t& pid) const {
  const auto spawn = search_path_ ? posix_spawnp : posix_spawn;
  return spawn(&pid, argv_[0], nullptr, &attributes_, argv_.data(), environ);
}

void start_detached(const ProcessStart& start) {
  pid_t pid = 0;
  if (const int error = DetachedStart(start).spawn(pid); error != 0) throw start_failure(error);
}

}  // namespace tovrel::posix

namespace tovrel {

void HostSystem::launch(const std::string& command_line) {
  const posix::ProcessStart start = posix::process_for_command_line(command_line);
  if (start.opened_file.empty()) {
    posix::start_detached(start);
  } else {
    posix::open_through_opener(app_folder(), start);
  }
}

}  // namespace tovrel
