// The running process on Windows: its executable's folder, the local time, its end.
#include "frame/os/host_system.h"

#include <windows.h>

#include "frame/os/win32/settings_folder.h"
#include "frame/os/win32/wide_text.h"
#include "frame/paths.h"

namespace tovrel {

std::string HostSystem::app_folder() const {
  // GetModuleFileNameW cuts a path that does not fit and says nothing but filling the buffer.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return folder_of(win32::from_wide(path));
    }
    path.resize(path.size() * 2);
  }
}

std::optional<std::string> HostSystem::own_settings_folder() const {
  return win32::own_settings_folder(app_folder());
}

ClockTime HostSystem::now() const {
  SYSTEMTIME time{};
  ::GetLocalTime(&time);
  return {time.wHour, time.wMinute, time.wSecond};
}

void HostSystem::exit(int status) { ::ExitProcess(static_cast<UINT>(status)); }

}  // namespace tovrel
