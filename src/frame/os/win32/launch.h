// Starting programs on Windows, never through a shell and never by a search for the program.
#pragma once

#ifndef _WIN32
#error "Win32 code: only the Windows build includes this header"
#endif

#include <string>

#include "frame/failure.h"

namespace tovrel::win32 {

struct ProcessStart {
  std::wstring application;   // the program's full path: the system searches for nothing
  std::wstring command_line;  // what the program sees as its command line
};

/// What a command line starts. The open-file command line starts the explorer.exe of the Windows
/// folder, with the file in double quotes, since explorer splits its command line at commas and
/// equals signs. Any other command line is a program's full path, started with itself, quoted,
/// as its command line.
ProcessStart process_for_command_line(const std::string& command_line,
                                      const std::wstring& windows_folder);

/// The error number for what CreateProcessW's failure left in GetLastError.
ErrorNumber error_for_system_error(unsigned long error);

}  // namespace tovrel::win32
