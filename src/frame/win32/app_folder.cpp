// The executable's folder on Windows.
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

}  // namespace tovrel::platform
