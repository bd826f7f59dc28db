#include "frame/ui/win32/win32_window.h"

#include <utility>

#include "frame/os/win32/wide_text.h"
#include "frame/ui/win32/dpi.h"
#include "frame/ui/win32/fitted_font.h"

namespace tovrel::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"TovrelWindow";
constexpr UINT_PTR kTimerId = 1;

HWND last_window = nullptr;

// Both frames have a caption and a close box and cannot be resized, minimized or maximized; the
// tool window's caption is the narrow one.
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU;

DWORD extended_style_for(BorderStyle border) {
  return border == BorderStyle::FixedToolWindow ? WS_EX_TOOLWINDOW : 0;
}

const wchar_t* class_for(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return L"STATIC";
    case ControlKind::TextBox:
      return L"EDIT";
    case ControlKind::Button:
      return L"BUTTON";
  }
  return L"(no such control)";  // a class no system has: CreateWindowExW refuses it
}

DWORD control_style(const ControlLayout& control) {
  DWORD style = WS_CHILD | (control.visible ? WS_VISIBLE : 0) | (control.enabled ? 0 : WS_DISABLED);
  switch (control.kind) {
    case ControlKind::Label:
      return style | SS_LEFTNOWORDWRAP | SS_NOPREFIX;  // clipped, not wrapped, like a Qt label
    case ControlKind::TextBox:
      return style | WS_TABSTOP | ES_AUTOHSCROLL | (control.centred ? ES_CENTER : ES_LEFT) |
             (control.read_only ? ES_READONLY : 0);
    case ControlKind::Button:
      return style | WS_TABSTOP | BS_PUSHBUTTON;
  }
  return style;
}

void register_window_class() {
  [[maybe_unused]] static const bool registered = [] {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kWindowClass;
    return ::RegisterClassExW(&window_class) != 0;
  }();
}

// A window the system would not make: it is out of the resources windows take.
HWND made(HWND window) {
  if (window == nullptr) throw Failure(ErrorNumber::OutOfMemory);
  return window;
}

int pixels(int twips, UINT dpi) { return twips_to_pixels(twips, static_cast<int>(dpi)); }

// The part of a monitor that windows may take: all but its task bar.
RECT work_area(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  ::GetMonitorInfoW(monitor, &info);
  return info.rcWork;
}

// Where a window as large as the rectangle has its top left corner when centred in the area.
POINT centred(const RECT& window, const RECT& area) {
  return {area.left + (area.right - area.left - (window.right - window.left)) / 2,
          area.top + (area.bottom - area.top - (window.bottom - window.top)) / 2};
}

std::wstring window_text(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

Win32Window::Win32Window(const WindowLayout& layout, Frame& frame)
    : layout_(layout), frame_(frame), known_texts_(layout.controls.size()) {
  register_window_class();
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const DpiMetrics& metrics = DpiMetrics::of_this_system();
  // Made where and as large as it will show at the DPI a new window gets: in the usual case
  // nothing is moved or sized again before it shows.
  const UINT expected_dpi = DpiMetrics::system_dpi();
  const DWORD extended = extended_style_for(layout.border_style);
  const RECT outer =
      metrics.frame_around(client_rect(expected_dpi), kWindowStyle, extended, expected_dpi);
  const POINT corner =
      centred(outer, work_area(::MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY)));
  window_.reset(made(::CreateWindowExW(
      extended, kWindowClass, to_wide(layout.caption).c_str(), kWindowStyle, corner.x, corner.y,
      outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, instance, nullptr)));
  if (layout.border_style == BorderStyle::FixedSingle) show_icon(instance);

  const UINT dpi = metrics.dpi_of(window_.get());
  // Made in tab order: the dialog keys follow the order in which controls were made.
  controls_.resize(layout.controls.size());
  for (const std::size_t row : rows_in_tab_order(layout)) {
    const ControlLayout& control = layout.controls[row];
    const std::wstring text = to_wide(control.text);
    const DWORD control_extended = control.kind == ControlKind::TextBox ? WS_EX_CLIENTEDGE : 0;
    const RECT place = control_rect(row, dpi);
    controls_[row] = made(::CreateWindowExW(
        control_extended, class_for(control.kind), text.c_str(), control_style(control), place.left,
        place.top, place.right - place.left, place.bottom - place.top, window_.get(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + row)), instance, nullptr));
    if (control.kind == ControlKind::TextBox) {
      known_texts_[row] = text;
      // The limit holds for typing and pasting; WM_SETTEXT is not cut by it.
      if (control.typed_length_limit > 0) {
        ::SendMessageW(controls_[row], EM_LIMITTEXT, control.typed_length_limit, 0);
      }
    }
  }
  fit_text(dpi);

  RECT client{};
  ::GetClientRect(window_.get(), &client);
  const RECT wanted = client_rect(dpi);
  if (dpi != expected_dpi || !::EqualRect(&client, &wanted)) {
    size_frame(dpi);
    RECT bounds{};
    ::GetWindowRect(window_.get(), &bounds);
    const POINT centre =
        centred(bounds, work_area(::MonitorFromWindow(window_.get(), MONITOR_DEFAULTTOPRIMARY)));
    ::SetWindowPos(window_.get(), nullptr, centre.x, centre.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure));
  last_window = window_.get();
}

// The executable's icon (icon 1, packaging/make-icons draws it), where a window shows one:
// on its caption and its taskbar button. A tool window has neither, so it loads none and starts
// sooner.
void Win32Window::show_icon(HINSTANCE instance) {
  for (const auto& [size, metric] : {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
    const int pixels = ::GetSystemMetrics(metric);
    const HANDLE icon = ::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, pixels, pixels,
                                     LR_DEFAULTCOLOR | LR_SHARED);
    ::SendMessageW(window_.get(), WM_SETICON, size, reinterpret_cast<LPARAM>(icon));
  }
}

Win32Window::~Win32Window() {
  ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  if (font_) ::DeleteObject(font_);
  if (last_window == window_.get()) last_window = nullptr;
}

RECT Win32Window::client_rect(UINT dpi) const {
  return {0, 0, pixels(layout_.client_width, dpi), pixels(layout_.client_height, dpi)};
}

RECT Win32Window::control_rect(std::size_t row, UINT dpi) const {
  const Twips& bounds = layout_.controls[row].bounds;
  const int left = pixels(bounds.left, dpi), top = pixels(bounds.top, dpi);
  return {left, top, left + pixels(bounds.width, dpi), top + pixels(bounds.height, dpi)};
}

void Win32Window::fit_text(UINT dpi) {
  const HFONT font = fit_font(DpiMetrics::of_this_system().message_font(dpi), layout_, controls_);
  if (font_) ::DeleteObject(font_);
  font_ = font;
}

void Win32Window::size_frame(UINT dpi) {
  const RECT wanted = client_rect(dpi);
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window_.get(), GWL_STYLE));
  const DWORD extended = static_cast<DWORD>(::GetWindowLongPtrW(window_.get(), GWL_EXSTYLE));
  const RECT frame = DpiMetrics::of_this_system().frame_around(wanted, style, extended, dpi);
  const auto resize = [this](int outer_width, int outer_height) {
    ::SetWindowPos(window_.get(), nullptr, 0, 0, outer_width, outer_height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  resize(frame.right - frame.left, frame.bottom - frame.top);
  // Where the system draws the frame at another DPI than the window's (Wine does, and so do systems
  // older than Windows 10 1607 for all but the system DPI), the frame takes other room than
  // computed: what the client area lacks or has too much is measured.
  RECT client{};
  ::GetClientRect(window_.get(), &client);
  if (!::EqualRect(&client, &wanted)) {
    resize(frame.right - frame.left + wanted.right - client.right,
           frame.bottom - frame.top + wanted.bottom - client.bottom);
  }
}

std::string Win32Window::text(std::size_t control) const {
  return from_wide(window_text(controls_.at(control)));
}

void Win32Window::set_text(std::size_t control, const std::string& text) {
  ::SetWindowTextW(controls_.at(control), to_wide(text).c_str());
}

void Win32Window::deliver_events_to(EventSink& events) {
  events_ = &events;
  if (layout_.timer.interval_ms > 0) {
    ::SetTimer(window_.get(), kTimerId, static_cast<UINT>(layout_.timer.interval_ms), nullptr);
  }
}

void Win32Window::show() {
  ::ShowWindow(window_.get(), layout_.activates_when_shown ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
  ::UpdateWindow(window_.get());
}

void Win32Window::remember_focus() {
  const HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(window_.get(), focus)) focused_ = focus;
}

void Win32Window::restore_focus() {
  const HWND control =
      ::IsWindow(focused_) ? focused_ : ::GetNextDlgTabItem(window_.get(), nullptr, FALSE);
  if (control != nullptr) ::SetFocus(control);
}

void Win32Window::raise(Event event, std::size_t source) {
  if (events_) events_->raise(event, source);
}

void Win32Window::command(int id, int notification) {
  const std::size_t row = static_cast<std::size_t>(id - kFirstControlId);
  if (id < kFirstControlId || row >= controls_.size()) return;
  switch (layout_.controls[row].kind) {
    case ControlKind::TextBox:
      if (notification == EN_CHANGE) {
        std::wstring text = window_text(controls_[row]);
        if (text == known_texts_[row]) return;
        known_texts_[row] = std::move(text);
        raise(Event::Change, row);
      }
      return;
    case ControlKind::Button:
      if (notification == BN_CLICKED) raise(Event::Click, row);
      return;
    case ControlKind::Label:
      return;
  }
}

// Returns whether the message was handled here; the rest goes to DefWindowProcW.
bool Win32Window::handle_message(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      command(LOWORD(w), HIWORD(w));
      return true;
    case WM_TIMER:
      if (w == kTimerId) raise(Event::Tick, kWindow);
      return true;
    case WM_CLOSE:
      raise(Event::Close, kWindow);
      ::DestroyWindow(window_.get());
      return true;
    case WM_ENDSESSION:
      // The session ends: the window closes as it would for the close box.
      if (w) raise(Event::Close, kWindow);
      return true;
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(l);
      const UINT dpi = HIWORD(w);
      for (std::size_t row = 0; row < controls_.size(); ++row) {
        const RECT place = control_rect(row, dpi);
        ::SetWindowPos(controls_[row], nullptr, place.left, place.top, place.right - place.left,
                       place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
      }
      fit_text(dpi);
      size_frame(dpi);
      ::SetWindowPos(window_.get(), nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return true;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK Win32Window::procedure(HWND handle, UINT message, WPARAM w, LPARAM l) {
  auto* window = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(handle, GWLP_USERDATA));
  if (window == nullptr) return ::DefWindowProcW(handle, message, w, l);
  bool handled = false;
  switch (message) {
    case WM_ACTIVATE:
      // As a dialog does: the control that had the focus gets it back when the window does.
      if (LOWORD(w) == WA_INACTIVE) window->remember_focus();
      break;
    case WM_SETFOCUS:
      window->restore_focus();
      return 0;
    case WM_COMMAND:
    case WM_TIMER:
    case WM_CLOSE:
    case WM_ENDSESSION:
    case WM_DPICHANGED:
    case WM_DESTROY:
      // No exception leaves a window procedure: a failure here is reported like a handler's.
      window->frame_.dispatch([&] { handled = window->handle_message(message, w, l); });
      break;
    default:
      break;
  }
  return handled ? 0 : ::DefWindowProcW(handle, message, w, l);
}

std::unique_ptr<Window> Win32Windows::create_window(const WindowLayout& layout) {
  return std::make_unique<Win32Window>(layout, frame_);
}

int Win32Windows::run_event_loop() {
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    const HWND top = ::GetAncestor(message.hwnd, GA_ROOT);
    if (top != nullptr && ::IsDialogMessageW(top, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

HWND Win32Windows::dialog_owner() { return last_window; }

}  // namespace tovrel::win32
