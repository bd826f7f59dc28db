#include "frame/posix/app_folder.h"

#include <filesystem>

#include "frame/paths.h"

namespace tovrel::posix {

std::string executable_folder() {
  return folder_of(std::filesystem::read_symlink("/proc/self/exe").string());
}

}  // namespace tovrel::posix
