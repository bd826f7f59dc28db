// The running process on a POSIX system: its executable's folder, the local time, its end.
#include "frame/os/host_system.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "frame/failure.h"
#include "frame/os/posix/settings_folder.h"
#include "frame/paths.h"

namespace tovrel {

std::string HostSystem::app_folder() const {
  // readlink rather than std::filesystem, which would page in a good part of libstdc++ at start.
  std::string path(PATH_MAX, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) == path.size()) {
    throw Failure(ErrorNumber::PathNotFound);
  }
  path.resize(static_cast<std::size_t>(length));
  return folder_of(path);
}

std::optional<std::string> HostSystem::own_settings_folder() const {
  return posix::own_settings_folder(app_folder(), ::geteuid());
}

ClockTime HostSystem::now() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

void HostSystem::exit(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}

}  // namespace tovrel
