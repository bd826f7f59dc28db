// Where the settings file is read and saved.
#pragma once

#include "frame/system.h"
#include "settings_store/settings_file.h"

namespace tovrel {

/// SETUP.INI beside the executables; where the program was installed for all users, the user's
/// own SETUP.INI, with the one beside the executables as its defaults.
SettingsFile settings_file_of(const System& system);

}  // namespace tovrel
