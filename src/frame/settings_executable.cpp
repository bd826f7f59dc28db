#include "frame/executables.h"

namespace tovrel {
const Executable& this_executable = kSettingsExecutable;
}
