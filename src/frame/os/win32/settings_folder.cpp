#include "frame/os/win32/settings_folder.h"

#include <windows.h>

#include "frame/os/win32/wide_text.h"
#include "frame/paths.h"

namespace tovrel::win32 {
namespace {

// The folder where the machine's Apps entry says the program was installed, without a trailing
// separator except at a drive's root; empty where there is none.
std::wstring install_location_for_all_users() {
  wchar_t location[MAX_PATH * 4];
  DWORD size = sizeof location;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kAppsEntry, L"InstallLocation", RRF_RT_REG_SZ, nullptr,
                     location, &size) != ERROR_SUCCESS) {
    return {};
  }
  std::wstring folder(location);
  if (folder.size() > 3 && folder.ends_with(L'\\')) folder.pop_back();
  return folder;
}

std::wstring environment(const wchar_t* name) {
  std::wstring value(MAX_PATH, L'\0');
  DWORD length = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
  if (length > value.size()) {
    value.resize(length);
    length = ::GetEnvironmentVariableW(name, value.data(), length);
  }
  value.resize(length);
  return value;
}

}  // namespace

std::optional<std::string> own_settings_folder(const std::string& app_folder) {
  const std::wstring installed = install_location_for_all_users();
  const std::wstring folder = to_wide(app_folder);
  const bool for_all_users =
      !installed.empty() &&
      ::CompareStringOrdinal(installed.c_str(), -1, folder.c_str(), -1, TRUE) == CSTR_EQUAL;
  const std::wstring local_data = environment(L"LOCALAPPDATA");
  if (!for_all_users || local_data.empty()) return std::nullopt;
  return join_path(from_wide(local_data), "Tovrel");
}

}  // namespace tovrel::win32
