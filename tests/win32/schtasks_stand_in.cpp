// A stand-in for the system's schtasks.exe, whose Wine version keeps neither the triggers nor the
// command of a task. It records how it was started (record_start.h) and keeps each task as the
// bytes of the XML file it was handed, in the folder that TOVREL_TASK_FOLDER names, file name =
// task name. It answers as schtasks does to the two commands the hourly task needs:
//   /Create /TN name /XML file [/F]   fails if the task exists, unless /F replaces it
//   /Delete /TN name /F               fails if there is no such task; without /F schtasks would
//                                     ask, so that is refused too
#include <cstdio>
#include <cwchar>
#include <string>

#include "record_start.h"

namespace {

struct Arguments {
  std::wstring command, task_name, xml_file;
  bool force = false;
};

bool parse(int argc, wchar_t** argv, Arguments& arguments) {
  if (argc < 2) return false;
  arguments.command = argv[1];
  for (int i = 2; i < argc; ++i) {
    const bool has_value = i + 1 < argc;
    if (::_wcsicmp(argv[i], L"/F") == 0) {
      arguments.force = true;
    } else if (::_wcsicmp(argv[i], L"/TN") == 0 && has_value) {
      arguments.task_name = argv[++i];
    } else if (::_wcsicmp(argv[i], L"/XML") == 0 && has_value) {
      arguments.xml_file = argv[++i];
    } else {
      return false;
    }
  }
  return !arguments.task_name.empty();
}

int fail(const wchar_t* message) {
  std::fwprintf(stderr, L"ERROR: %ls\n", message);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (const int status = record_start(); status != 0) return status;
  wchar_t folder[MAX_PATH * 4];
  if (!::GetEnvironmentVariableW(L"TOVREL_TASK_FOLDER", folder, std::size(folder))) return 2;

  Arguments arguments;
  if (!parse(argc, argv, arguments)) return fail(L"Invalid syntax.");
  const std::wstring task = std::wstring(folder) + L"\\" + arguments.task_name;
  const bool exists = ::GetFileAttributesW(task.c_str()) != INVALID_FILE_ATTRIBUTES;

  if (::_wcsicmp(arguments.command.c_str(), L"/Create") == 0 && !arguments.xml_file.empty()) {
    if (exists && !arguments.force)
      return fail(L"Cannot create a file when that file already exists.");
    if (!::CopyFileW(arguments.xml_file.c_str(), task.c_str(), FALSE)) {
      return fail(L"The system cannot find the file specified.");
    }
    std::fwprintf(stdout, L"SUCCESS: The scheduled task \"%ls\" has successfully been created.\n",
                  arguments.task_name.c_str());
    return 0;
  }
  if (::_wcsicmp(arguments.command.c_str(), L"/Delete") == 0 && arguments.xml_file.empty()) {
    if (!arguments.force) return fail(L"Deleting asks for an answer unless /F is given.");
    if (!exists || !::DeleteFileW(task.c_str())) {
      return fail(L"The system cannot find the file specified.");
    }
    std::fwprintf(stdout, L"SUCCESS: The scheduled task \"%ls\" was successfully deleted.\n",
                  arguments.task_name.c_str());
    return 0;
  }
  return fail(L"Invalid syntax.");
}
