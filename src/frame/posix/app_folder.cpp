// The executable's folder on a POSIX system.
#include <filesystem>

#include "frame/paths.h"
#include "frame/platform.h"

namespace tovrel::platform {

std::string executable_folder() {
  return folder_of(std::filesystem::read_symlink("/proc/self/exe").string());
}

}  // namespace tovrel::platform
