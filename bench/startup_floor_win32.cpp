// The least a Win32 program takes to show the alarm's window, which bench/windows-startup measures
// the alarm against: a tool window of the same size, with the same labels, edit controls, texts
// and font, that ends three seconds later. Plain Win32, no layout table, no settings file.
#include <windows.h>

namespace {

constexpr UINT_PTR kEndTimer = 1;
const wchar_t* const kCaptions[] = {L"현재 시간", L"남은 시간", L"Tovrel 실행"};
const wchar_t* const kValues[] = {L"AM 5:40:00", L"2시간 남았습니다.", L"Text3"};

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_TIMER:
      ::DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window, message, w, l);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = L"Floor";
  ::RegisterClassExW(&window_class);

  RECT frame{0, 0, 199, 82};
  ::AdjustWindowRectEx(&frame, WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_TOOLWINDOW);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const HWND window =
      ::CreateWindowExW(WS_EX_TOOLWINDOW, L"Floor", L"Tovrel프로그램", WS_CAPTION | WS_SYSMENU,
                        (work.left + work.right - width) / 2, (work.top + work.bottom - height) / 2,
                        width, height, nullptr, nullptr, instance, nullptr);

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const HFONT font = ::CreateFontIndirectW(&metrics.lfMessageFont);
  const auto add = [&](DWORD extended, const wchar_t* type, const wchar_t* text, DWORD style, int x,
                       int y, int w, int h) {
    const HWND control = ::CreateWindowExW(extended, type, text, WS_CHILD | style, x, y, w, h,
                                           window, nullptr, instance, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  };
  for (int row = 0; row < 3; ++row) {
    add(0, L"STATIC", kCaptions[row], WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 8, 8 + 24 * row,
        57, 17);
    add(WS_EX_CLIENTEDGE, L"EDIT", kValues[row],
        WS_VISIBLE | WS_DISABLED | ES_CENTER | ES_READONLY | ES_AUTOHSCROLL, 72, 8 + 24 * row, 121,
        18);
  }
  add(WS_EX_CLIENTEDGE, L"EDIT", L"", ES_AUTOHSCROLL, 32, 16, 97, 25);
  add(WS_EX_CLIENTEDGE, L"EDIT", L"", ES_AUTOHSCROLL, 32, 48, 97, 18);

  ::ShowWindow(window, SW_SHOWNOACTIVATE);
  ::UpdateWindow(window);
  ::SetTimer(window, kEndTimer, 3000, nullptr);
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  ::DeleteObject(font);
  return 0;
}
