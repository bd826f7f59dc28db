// A stand-in for the system's schtasks.exe, whose Wine version keeps neither the triggers nor the
// command of a task. It records how it was started (record_start.h) and keeps each task as the XML
// file it was handed, named after the task, in the folder that TOVREL_TASK_FOLDER names. It takes
// only the two commands of the hourly task, as schtasks does: "/Create /TN name /XML file /F"
// replaces the task, "/Delete /TN name /F" fails when there is none.
#include <string>

#include "record_start.h"

int wmain(int argc, wchar_t** argv) {
  if (const int status = record_start(); status != 0) return status;
  wchar_t folder[MAX_PATH * 4];
  if (!::GetEnvironmentVariableW(L"TOVREL_TASK_FOLDER", folder, std::size(folder))) return 2;
  const auto is = [&](int i, const wchar_t* option) {
    return i < argc && ::_wcsicmp(argv[i], option) == 0;
  };
  if (!is(2, L"/TN") || argc < 5) return 1;
  const std::wstring task = std::wstring(folder) + L"\\" + argv[3];
  if (is(1, L"/Create") && is(4, L"/XML") && is(6, L"/F") && argc == 7) {
    return ::CopyFileW(argv[5], task.c_str(), FALSE) ? 0 : 1;
  }
  if (is(1, L"/Delete") && is(4, L"/F") && argc == 5) {
    return ::DeleteFileW(task.c_str()) ? 0 : 1;
  }
  return 1;
}
