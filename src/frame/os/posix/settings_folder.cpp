#include "frame/os/posix/settings_folder.h"

#include <pwd.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string_view>

#include "frame/paths.h"

namespace tovrel::posix {
namespace {

// The user's base folder for configuration, as the desktop's base directories name it.
std::string configuration_home(uid_t user) {
  const char* configured = std::getenv("XDG_CONFIG_HOME");
  if (configured && configured[0] == '/') return configured;
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') {
    const passwd* account = ::getpwuid(user);
    home = account ? account->pw_dir : "/";
  }
  return join_path(home, ".config");
}

}  // namespace

std::optional<std::string> own_settings_folder(const std::string& app_folder, uid_t user) {
  struct stat status {};
  if (::stat(app_folder.c_str(), &status) != 0 || status.st_uid == user) return std::nullopt;
  return join_path(configuration_home(user), "tovrel");
}

}  // namespace tovrel::posix
