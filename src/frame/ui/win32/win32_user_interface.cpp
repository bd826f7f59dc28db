#include "frame/ui/win32/win32_user_interface.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include "frame/os/win32/wide_text.h"
#include "frame/ui/win32/library_function.h"
#include "frame/ui/win32/win32_window.h"

namespace tovrel::win32 {
namespace {

// Room for a path of the longest length the system allows.
constexpr DWORD kPathBufferLength = 32768;

// The common dialog library, and the printing and shell libraries it brings, load when the Open
// dialog is first asked for: the alarm never asks for it, and starts without them. It is loaded
// from the system folder by its full path, never from the application folder.
struct OpenDialog {
  BOOL(WINAPI* get_open_file_name)(OPENFILENAMEW*) = nullptr;
  DWORD(WINAPI* extended_error)() = nullptr;
};

const OpenDialog& open_dialog() {
  static const OpenDialog dialog = [] {
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) throw Failure(ErrorNumber::PathFileAccessError);
    const HMODULE library = ::LoadLibraryW((std::wstring(folder) + L"\\comdlg32.dll").c_str());
    OpenDialog found;
    look_up(library, found.get_open_file_name, "GetOpenFileNameW");
    look_up(library, found.extended_error, "CommDlgExtendedError");
    if (!found.get_open_file_name || !found.extended_error) {
      throw Failure(ErrorNumber::PathFileAccessError);
    }
    return found;
  }();
  return dialog;
}

}  // namespace

// A box must be answered, also when the program started by itself while the user works elsewhere
// (the hourly alarm). Windows may refuse the foreground to a program started in the background;
// the box then still stays above the other windows. (Wine gives it the foreground anyway and
// ignores MB_TOPMOST.)
void Win32UserInterface::show_message(const std::string& caption, const std::string& text) {
  ::MessageBoxW(Win32Windows::dialog_owner(), to_wide(text).c_str(), to_wide(caption).c_str(),
                MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
}

std::string Win32UserInterface::format_time(ClockTime time) const {
  SYSTEMTIME system_time{};
  system_time.wYear = 2000;
  system_time.wMonth = 1;
  system_time.wDay = 1;
  system_time.wHour = static_cast<WORD>(time.hour);
  system_time.wMinute = static_cast<WORD>(time.minute);
  system_time.wSecond = static_cast<WORD>(time.second);
  wchar_t text[128];
  const int length = ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &system_time, nullptr, text,
                                       static_cast<int>(std::size(text)));
  return length > 0 ? from_wide(std::wstring_view(text, static_cast<std::size_t>(length - 1)))
                    : std::string();
}

std::string Win32UserInterface::decimal_separator() const {
  wchar_t separator[8];
  const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator,
                                       static_cast<int>(std::size(separator)));
  return length > 1 ? from_wide(std::wstring_view(separator, static_cast<std::size_t>(length - 1)))
                    : std::string(".");
}

// Windows' dialog has a start folder of its own, the one it last opened in: `current` is not
// needed.
std::optional<std::string> Win32UserInterface::choose_file_to_open(const std::string&) {
  const OpenDialog& dialogs = open_dialog();
  // No title, filter or start folder: the dialog shows its defaults.
  std::wstring file(kPathBufferLength, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Win32Windows::dialog_owner();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kPathBufferLength;
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!dialogs.get_open_file_name(&dialog)) {
    if (dialogs.extended_error() == 0) return std::nullopt;  // Cancel
    throw Failure(ErrorNumber::PathFileAccessError);
  }
  file.resize(::wcslen(file.c_str()));
  return from_wide(file);
}

}  // namespace tovrel::win32
