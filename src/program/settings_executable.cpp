#include "program/executables.h"

namespace tovrel {
const Executable& this_executable = kSettingsExecutable;
}
