// Starting programs on Windows.
#include "frame/os/win32/launch.h"

#include <windows.h>

#include "frame/open_command.h"
#include "frame/os/host_system.h"
#include "frame/os/win32/wide_text.h"

namespace tovrel::win32 {
namespace {

std::wstring windows_folder() {
  std::wstring folder(MAX_PATH, L'\0');
  const UINT length = ::GetWindowsDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
  if (length > folder.size()) {
    folder.resize(length);
    ::GetWindowsDirectoryW(folder.data(), length);
  }
  folder.resize(length == 0 ? 0 : ::wcslen(folder.c_str()));
  return folder;
}

std::wstring quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

}  // namespace

ProcessStart process_for_command_line(const std::string& command_line,
                                      const std::wstring& windows_folder) {
  if (!command_line.starts_with(kOpenFileCommand)) {
    const std::wstring program = to_wide(command_line);
    return {program, quoted(program)};
  }
  const std::wstring file = to_wide(command_line.substr(kOpenFileCommand.size()));
  std::wstring explorer = windows_folder;
  if (!explorer.ends_with(L'\\')) explorer += L'\\';
  explorer += L"explorer.exe";
  return {explorer, to_wide(kOpenFileCommand) + quoted(file)};
}

ErrorNumber error_for_system_error(unsigned long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return ErrorNumber::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
      return ErrorNumber::PathNotFound;
    case ERROR_ACCESS_DENIED:
      return ErrorNumber::PermissionDenied;
    default:
      return ErrorNumber::PathFileAccessError;
  }
}

}  // namespace tovrel::win32

namespace tovrel {

void HostSystem::launch(const std::string& command_line) {
  win32::ProcessStart start =
      win32::process_for_command_line(command_line, win32::windows_folder());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  // The program we start may take the focus from us.
  ::AllowSetForegroundWindow(ASFW_ANY);
  if (!::CreateProcessW(start.application.c_str(), start.command_line.data(), nullptr, nullptr,
                        FALSE, 0, nullptr, nullptr, &startup, &process)) {
    throw Failure(win32::error_for_system_error(::GetLastError()));
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
}

}  // namespace tovrel
