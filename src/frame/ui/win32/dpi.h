// What a window's layout needs to know of its DPI. Windows 10 1607 brought the functions that take
// a DPI; looked up at run time, they leave the executables starting on Windows 7 and 8.1, where the
// system DPI's values, scaled, stand in for them.
#pragma once

#ifndef _WIN32
#error "Win32 code: only the Windows build includes this header"
#endif

#include <windows.h>

namespace tovrel::win32 {

class DpiMetrics {
 public:
  /// The functions of the system the program runs on.
  static const DpiMetrics& of_this_system();
  /// Only what Windows 7 has: the system DPI for every window.
  static DpiMetrics without_dpi_functions() { return DpiMetrics(); }

  /// The DPI of the primary monitor when the session began: a new window's, unless it opens on
  /// another monitor.
  static UINT system_dpi();
  UINT dpi_of(HWND window) const;
  /// The user's message font, sized for the DPI.
  LOGFONTW message_font(UINT dpi) const;
  /// The window rectangle around a client rectangle, for the DPI.
  RECT frame_around(RECT client, DWORD style, DWORD extended_style, UINT dpi) const;

 private:
  DpiMetrics() = default;

  UINT(WINAPI* dpi_for_window_)(HWND) = nullptr;
  BOOL(WINAPI* system_parameters_for_dpi_)(UINT, UINT, PVOID, UINT, UINT) = nullptr;
  BOOL(WINAPI* adjust_window_rect_for_dpi_)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
};

}  // namespace tovrel::win32
