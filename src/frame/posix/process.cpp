// The running process on a POSIX system: its executable's folder, the local time, its end.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "frame/paths.h"
#include "frame/platform.h"

namespace tovrel::platform {

std::string executable_folder() {
  return folder_of(std::filesystem::read_symlink("/proc/self/exe").string());
}

ClockTime local_time() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

void exit_process(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}

}  // namespace tovrel::platform
