// The running process on a POSIX system: its executable's folder, the local time, its end.
#include "frame/os/host_system.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include <unistd.h>

#include "frame/os/posix/settings_folder.h"
#include "frame/paths.h"

namespace tovrel {

std::string HostSystem::app_folder() const {
  return folder_of(std::filesystem::read_symlink("/proc/self/exe").string());
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
