#include "frame/ui/win32/dpi.h"

#include "frame/ui/win32/library_function.h"

namespace tovrel::win32 {

UINT DpiMetrics::system_dpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

const DpiMetrics& DpiMetrics::of_this_system() {
  static const DpiMetrics metrics = [] {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    DpiMetrics found;
    look_up(user32, found.dpi_for_window_, "GetDpiForWindow");
    look_up(user32, found.system_parameters_for_dpi_, "SystemParametersInfoForDpi");
    look_up(user32, found.adjust_window_rect_for_dpi_, "AdjustWindowRectExForDpi");
    return found;
  }();
  return metrics;
}

UINT DpiMetrics::dpi_of(HWND window) const {
  return dpi_for_window_ ? dpi_for_window_(window) : system_dpi();
}

LOGFONTW DpiMetrics::message_font(UINT dpi) const {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (system_parameters_for_dpi_) {
    system_parameters_for_dpi_(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
  } else {
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight =
        ::MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), system_dpi());
  }
  return metrics.lfMessageFont;
}

RECT DpiMetrics::frame_around(RECT client, DWORD style, DWORD extended_style, UINT dpi) const {
  if (adjust_window_rect_for_dpi_) {
    adjust_window_rect_for_dpi_(&client, style, FALSE, extended_style, dpi);
  } else {
    ::AdjustWindowRectEx(&client, style, FALSE, extended_style);
  }
  return client;
}

}  // namespace tovrel::win32
