// The running process on Windows: its executable's folder, the local time, its end.
#include <windows.h>

#include "frame/paths.h"
#include "frame/platform.h"
#include "frame/win32/wide_text.h"

namespace tovrel::platform {

std::string executable_folder() {
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

ClockTime local_time() {
  SYSTEMTIME time{};
  ::GetLocalTime(&time);
  return {time.wHour, time.wMinute, time.wSecond};
}

void exit_process(int status) { ::ExitProcess(static_cast<UINT>(status)); }

}  // namespace tovrel::platform
