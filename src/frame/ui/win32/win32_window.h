// A window on the Win32 API, built from its layout table, and the window system that makes them.
#pragma once

#ifndef _WIN32
#error "Win32 code: only the Windows build includes this header"
#endif

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "frame/frame.h"
#include "frame/window.h"

namespace tovrel::win32 {

/// Destroys a window that its owner lets go of, also when the owner's making stops half way.
struct WindowDestroyer {
  void operator()(HWND window) const { ::DestroyWindow(window); }
};
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

/// The command identifier of a control's row: WM_COMMAND tells controls apart by it. Those below
/// it (IDOK, IDCANCEL, which dialog keys send) are no control's.
inline constexpr int kFirstControlId = 100;

class Win32Window final : public Window {
 public:
  /// Makes the window, hidden, and its controls in tab order, laid out for the window's DPI and
  /// centred on its monitor's work area. Events pass through the frame, so that a failure while
  /// mapping one is reported like any other. The window procedure takes over once the window is
  /// whole: where a control cannot be made, the window goes, with nothing pointing at this.
  Win32Window(const WindowLayout& layout, Frame& frame);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  std::string text(std::size_t control) const override;
  void set_text(std::size_t control, const std::string& text) override;
  void deliver_events_to(EventSink& events) override;
  void show() override;

  HWND handle() const { return window_.get(); }
  HWND control(std::size_t row) const { return controls_.at(row); }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  bool handle_message(UINT message, WPARAM w, LPARAM l);
  void command(int id, int notification);
  void show_icon(HINSTANCE instance);
  RECT client_rect(UINT dpi) const;
  RECT control_rect(std::size_t row, UINT dpi) const;
  /// Gives the controls the message font, sized for the DPI so that every text fits.
  void fit_text(UINT dpi);
  /// Sizes the frame so that the client area is the layout's at the DPI.
  void size_frame(UINT dpi);
  void remember_focus();
  void restore_focus();
  void raise(Event event, std::size_t source);

  const WindowLayout& layout_;
  Frame& frame_;
  WindowHandle window_;
  std::vector<HWND> controls_;
  // Each text box's text as last seen: an edit control notifies EN_CHANGE on every WM_SETTEXT,
  // even of the text it already has, and a change is only a change when the text differs.
  std::vector<std::wstring> known_texts_;
  HFONT font_ = nullptr;
  HWND focused_ = nullptr;  // the control that had the focus when the window lost it
  EventSink* events_ = nullptr;
};

class Win32Windows final : public WindowSystem {
 public:
  explicit Win32Windows(Frame& frame) : frame_(frame) {}

  std::unique_ptr<Window> create_window(const WindowLayout& layout) override;

  /// Dispatches messages, with the dialog keys (Tab, the arrows) moving between controls, until
  /// the last window is gone.
  int run_event_loop() override;

  /// The window made last, which owns message boxes and dialogs.
  static HWND dialog_owner();

 private:
  Frame& frame_;
};

}  // namespace tovrel::win32
