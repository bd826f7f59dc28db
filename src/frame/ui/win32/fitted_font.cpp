#include "frame/ui/win32/fitted_font.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "frame/os/win32/wide_text.h"

namespace tovrel::win32 {
namespace {

int text_width(HDC dc, const std::wstring& text) {
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

}  // namespace

int room_for_text(HWND control, ControlKind kind) {
  RECT client{};
  ::GetClientRect(control, &client);
  switch (kind) {
    case ControlKind::Label:
      return client.right;
    case ControlKind::TextBox: {
      const LRESULT margins = ::SendMessageW(control, EM_GETMARGINS, 0, 0);
      return client.right - LOWORD(margins) - HIWORD(margins);
    }
    case ControlKind::Button:
      return client.right -
             2 * (::GetSystemMetrics(SM_CXEDGE) + ::GetSystemMetrics(SM_CXFOCUSBORDER));
  }
  return client.right;
}

HFONT fit_font(LOGFONTW font, const WindowLayout& layout, const std::vector<HWND>& controls) {
  const HDC dc = ::GetDC(nullptr);
  for (;;) {
    const HFONT made = ::CreateFontIndirectW(&font);
    for (const HWND control : controls) {
      // Redrawn only where it shows: a window still hidden is drawn once, when it shows.
      ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(made),
                     ::IsWindowVisible(control));
    }
    const HGDIOBJ previous = ::SelectObject(dc, made);
    const bool all_fit = std::all_of(
        layout.controls.begin(), layout.controls.end(), [&](const ControlLayout& control) {
          return text_width(dc, to_wide(control.text)) <=
                 room_for_text(controls[control.control], control.kind);
        });
    ::SelectObject(dc, previous);
    if (all_fit || std::abs(font.lfHeight) <= 1) {
      ::ReleaseDC(nullptr, dc);
      return made;
    }
    // A pixel less at a time: text widths do not shrink in step with the height.
    ::DeleteObject(made);
    font.lfHeight += font.lfHeight < 0 ? 1 : -1;
  }
}

}  // namespace tovrel::win32
