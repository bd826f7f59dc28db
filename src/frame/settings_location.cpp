#include "frame/settings_location.h"

#include "frame/paths.h"
#include "settings_store/settings_names.h"

namespace tovrel {

SettingsFile settings_file_of(const System& system) {
  std::string beside_executables = join_path(system.app_folder(), kSettingsFileName);
  if (const std::optional<std::string> own = system.own_settings_folder()) {
    return {join_path(*own, kSettingsFileName), std::move(beside_executables)};
  }
  return {std::move(beside_executables)};
}

}  // namespace tovrel
