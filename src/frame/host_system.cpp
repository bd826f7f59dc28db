#include "frame/host_system.h"

#include "frame/platform.h"

namespace tovrel {

std::string HostSystem::app_folder() const { return platform::executable_folder(); }

void HostSystem::launch(const std::string& command_line) { platform::start_program(command_line); }

ClockTime HostSystem::now() const { return platform::local_time(); }

void HostSystem::exit(int status) { platform::exit_process(status); }

}  // namespace tovrel
