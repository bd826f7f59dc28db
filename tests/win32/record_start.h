// What the recording stand-ins share: each start appends the stand-in's own path and the command
// line it was given, each as UTF-8 followed by a NUL, to the file that TOVREL_RECORD_FILE names.
#pragma once

#include <windows.h>

#include <string>

inline std::string utf8(const wchar_t* wide) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');  // the NUL included
  ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
  return text;
}

// Returns 0 once recorded, or the stand-in's exit status for what failed.
inline int record_start() {
  wchar_t record_file[MAX_PATH * 4];
  if (!::GetEnvironmentVariableW(L"TOVREL_RECORD_FILE", record_file, std::size(record_file))) {
    return 2;
  }
  wchar_t module[MAX_PATH * 4];
  ::GetModuleFileNameW(nullptr, module, std::size(module));
  const std::string record = utf8(module) + utf8(::GetCommandLineW());

  const HANDLE file =
      ::CreateFileW(record_file, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  const BOOL ok =
      ::WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok && written == record.size() ? 0 : 4;
}
