// The Win32 window system on real windows under the fake frame: what it makes of the layout and
// event tables, the edit control's change notifications, and the layout at 96 and 192 dpi.
#include "frame/ui/win32/win32_window.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "alarm_window/layout.h"
#include "fakes/fake_frame.h"
#include "frame/os/win32/wide_text.h"
#include "settings_window/layout.h"

namespace tovrel::win32 {
namespace {

struct Recorder final : EventSink {
  std::vector<std::pair<Event, std::size_t>> events;
  void raise(Event event, std::size_t source) override { events.emplace_back(event, source); }
};

std::wstring class_of(HWND window) {
  wchar_t name[64];
  return std::wstring(name, static_cast<std::size_t>(::GetClassNameW(window, name, 64)));
}

LONG_PTR style_of(HWND window) { return ::GetWindowLongPtrW(window, GWL_STYLE); }

// The control's place in its window's client area.
RECT client_rect_of(HWND control) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Delivers what is waiting, as the event loop would; the quit that a destroyed window posts is
// the loop's, not the test's.
void pump_messages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

class Win32WindowTest : public ::testing::TestWithParam<const WindowLayout*> {
 protected:
  const WindowLayout& layout() const { return *GetParam(); }
  testing::FakeFrame frame;
};

TEST_P(Win32WindowTest, EachRowBecomesTheControlItDescribes) {
  Win32Window window(layout(), frame);
  for (std::size_t row = 0; row < layout().controls.size(); ++row) {
    const ControlLayout& control = layout().controls[row];
    const HWND made = window.control(row);
    const LONG_PTR style = style_of(made);
    SCOPED_TRACE(std::string(control.name));
    EXPECT_EQ(::GetDlgCtrlID(made), kFirstControlId + static_cast<int>(row));
    EXPECT_EQ(class_of(made), control.kind == ControlKind::Label     ? L"Static"
                              : control.kind == ControlKind::TextBox ? L"Edit"
                                                                     : L"Button");
    EXPECT_EQ(window.text(row), control.text);
    EXPECT_EQ((style & WS_VISIBLE) != 0, control.visible);
    EXPECT_EQ((style & WS_DISABLED) == 0, control.enabled);
    if (control.kind == ControlKind::TextBox) {
      EXPECT_EQ((style & ES_CENTER) != 0, control.centred);
      EXPECT_EQ((style & ES_READONLY) != 0, control.read_only);
      const LRESULT limit = ::SendMessageW(made, EM_GETLIMITTEXT, 0, 0);
      if (control.typed_length_limit > 0) {
        EXPECT_EQ(limit, control.typed_length_limit);
      }
    }
  }
}

TEST_P(Win32WindowTest, TheFrameIsFixedAndTheCaptionIsTheLayouts) {
  Win32Window window(layout(), frame);
  const LONG_PTR style = style_of(window.handle());
  const LONG_PTR extended = ::GetWindowLongPtrW(window.handle(), GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_EQ((extended & WS_EX_TOOLWINDOW) != 0,
            layout().border_style == BorderStyle::FixedToolWindow);
  wchar_t caption[64];
  ::GetWindowTextW(window.handle(), caption, 64);
  EXPECT_EQ(from_wide(caption), layout().caption);
  EXPECT_FALSE(::IsWindowVisible(window.handle())) << "shown only once loaded";
  // Only a window with a taskbar button and a caption icon has an icon to show there.
  const bool shows_icon = layout().border_style == BorderStyle::FixedSingle;
  for (const WPARAM size : {ICON_BIG, ICON_SMALL}) {
    EXPECT_EQ(::SendMessageW(window.handle(), WM_GETICON, size, 0) != 0, shows_icon) << size;
  }
}

TEST_P(Win32WindowTest, TabGoesThroughTheFocusableControlsInTabOrder) {
  Win32Window window(layout(), frame);
  std::vector<const ControlLayout*> expected;
  for (const ControlLayout& control : layout().controls) {
    if (control.kind != ControlKind::Label && control.enabled && control.visible) {
      expected.push_back(&control);
    }
  }
  std::sort(expected.begin(), expected.end(),
            [](auto* a, auto* b) { return a->tab_index < b->tab_index; });
  window.show();
  if (!expected.empty()) {
    EXPECT_EQ(::GetFocus(), window.control(expected.front()->control)) << "as in a dialog";
  }
  HWND focus = ::GetNextDlgTabItem(window.handle(), nullptr, FALSE);
  for (const ControlLayout* control : expected) {
    ASSERT_EQ(focus, window.control(control->control)) << control->name;
    focus = ::GetNextDlgTabItem(window.handle(), focus, FALSE);
  }
  if (!expected.empty()) {
    EXPECT_EQ(focus, window.control(expected.front()->control));
  }
}

// The alarm window opens by itself while the user works elsewhere: it leaves the keyboard where it
// is. The settings window, which the user opened, takes it.
TEST_P(Win32WindowTest, ShownItTakesTheKeyboardOnlyIfItsLayoutSaysSo) {
  const HWND elsewhere = ::CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                           200, 100, nullptr, nullptr, nullptr, nullptr);
  ::SetForegroundWindow(elsewhere);
  ::SetFocus(elsewhere);
  pump_messages();
  ASSERT_EQ(::GetForegroundWindow(), elsewhere);

  Win32Window window(layout(), frame);
  window.show();
  pump_messages();
  EXPECT_EQ(::GetForegroundWindow() == window.handle(), layout().activates_when_shown);
  EXPECT_EQ(::GetFocus() == elsewhere, !layout().activates_when_shown);
  EXPECT_TRUE(::IsWindowVisible(window.handle()));
  ::DestroyWindow(elsewhere);
}

// A screen reader on Windows names an edit control by the static text just before it among its
// window's children (Wine's accessibility layer gives nothing to ask here).
TEST_P(Win32WindowTest, EachLabelledBoxComesRightAfterItsLabel) {
  Win32Window window(layout(), frame);
  for (std::size_t row = 0; row < layout().controls.size(); ++row) {
    const std::size_t label = layout().controls[row].labelled_by;
    if (label == kNoLabel) continue;
    EXPECT_EQ(::GetWindow(window.control(row), GW_HWNDPREV), window.control(label))
        << layout().controls[row].name;
  }
}

TEST_P(Win32WindowTest, TheFramedWindowIsCentredOnItsMonitorsWorkArea) {
  Win32Window window(layout(), frame);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ::GetMonitorInfoW(::MonitorFromWindow(window.handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  RECT bounds{};
  ::GetWindowRect(window.handle(), &bounds);
  EXPECT_NEAR(bounds.left - work.left, work.right - bounds.right, 1);
  EXPECT_NEAR(bounds.top - work.top, work.bottom - bounds.bottom, 1);
}

// 15 twips are a pixel at 96 dpi; at 192 everything is twice the size, the font too (give or take
// the pixel that fitting the texts to their boxes rounds away).
TEST_P(Win32WindowTest, TwipsBecomePixelsAtTheWindowsDpiAndAgainWhenItChanges) {
  Win32Window window(layout(), frame);
  const auto font_height = [&] {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window.control(0), WM_GETFONT, 0, 0)),
                 sizeof font, &font);
    return font.lfHeight;
  };
  const auto check_at = [&](int dpi) {
    SCOPED_TRACE(dpi);
    RECT client{};
    ::GetClientRect(window.handle(), &client);
    EXPECT_EQ(client.right, twips_to_pixels(layout().client_width, dpi));
    EXPECT_EQ(client.bottom, twips_to_pixels(layout().client_height, dpi));
    for (std::size_t row = 0; row < layout().controls.size(); ++row) {
      const Twips& bounds = layout().controls[row].bounds;
      const RECT rect = client_rect_of(window.control(row));
      EXPECT_EQ(rect.left, twips_to_pixels(bounds.left, dpi)) << layout().controls[row].name;
      EXPECT_EQ(rect.top, twips_to_pixels(bounds.top, dpi)) << layout().controls[row].name;
      EXPECT_EQ(rect.right - rect.left, twips_to_pixels(bounds.width, dpi));
      EXPECT_EQ(rect.bottom - rect.top, twips_to_pixels(bounds.height, dpi));
    }
  };
  ASSERT_EQ(::GetDpiForWindow(window.handle()), 96u) << "the test prefix runs at 96 dpi";
  check_at(96);
  const LONG font_at_96 = font_height();
  EXPECT_NE(font_at_96, 0);

  RECT suggested{40, 30, 500, 400};
  ::SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&suggested));
  check_at(192);
  EXPECT_NEAR(font_height(), 2 * font_at_96, 1);
  RECT placed{};
  ::GetWindowRect(window.handle(), &placed);
  EXPECT_EQ(placed.left, suggested.left);
  EXPECT_EQ(placed.top, suggested.top);
}

INSTANTIATE_TEST_SUITE_P(BothWindows, Win32WindowTest,
                         ::testing::Values(&alarm_window::layout, &settings_window::layout),
                         [](const auto& info) { return std::string(info.param->name); });

class Win32EventsTest : public ::testing::Test {
 protected:
  testing::FakeFrame frame;
  Recorder recorder;
};

TEST_F(Win32EventsTest, AChangeIsRaisedOnlyWhenTheTextChanges) {
  Win32Window window(settings_window::layout, frame);
  window.deliver_events_to(recorder);
  const std::vector<std::pair<Event, std::size_t>> change{{Event::Change, settings_window::Text1}};

  window.set_text(settings_window::Text1, "7");
  EXPECT_EQ(recorder.events, change);
  recorder.events.clear();
  window.set_text(settings_window::Text1, "7");
  EXPECT_TRUE(recorder.events.empty()) << "WM_SETTEXT of the same text is no change";

  ::SendMessageW(window.control(settings_window::Text1), EM_SETSEL, 1, 1);
  ::SendMessageW(window.control(settings_window::Text1), WM_CHAR, L'1', 0);
  EXPECT_EQ(recorder.events, change) << "typed";
  EXPECT_EQ(window.text(settings_window::Text1), "71");
}

TEST_F(Win32EventsTest, TheHourBoxLimitsTypingButNotTheProgram) {
  Win32Window window(settings_window::layout, frame);
  window.deliver_events_to(recorder);
  const HWND hour = window.control(settings_window::Text1);
  for (const wchar_t c : {L'1', L'2', L'3'}) ::SendMessageW(hour, WM_CHAR, c, 0);
  EXPECT_EQ(window.text(settings_window::Text1), "12");
  window.set_text(settings_window::Text1, "123");
  EXPECT_EQ(window.text(settings_window::Text1), "123");
}

TEST_F(Win32EventsTest, ClicksClosingAndTheEndOfTheSessionRaiseTheirEvents) {
  Win32Window window(settings_window::layout, frame);
  window.deliver_events_to(recorder);
  for (const std::size_t button :
       {settings_window::Command1, settings_window::Command2, settings_window::Command3}) {
    ::SendMessageW(window.control(button), BM_CLICK, 0, 0);
  }
  ::SendMessageW(window.handle(), WM_ENDSESSION, FALSE, 0);  // a shutdown called off
  ::SendMessageW(window.handle(), WM_ENDSESSION, TRUE, 0);
  ::SendMessageW(window.handle(), WM_CLOSE, 0, 0);
  pump_messages();
  EXPECT_EQ(recorder.events, (std::vector<std::pair<Event, std::size_t>>{
                                 {Event::Click, settings_window::Command1},
                                 {Event::Click, settings_window::Command2},
                                 {Event::Click, settings_window::Command3},
                                 {Event::Close, kWindow},
                                 {Event::Close, kWindow},
                             }));
  EXPECT_FALSE(::IsWindow(window.handle())) << "closed once the close handler ran";
}

// The window goes with the control the system would not make: no window is left whose procedure
// would reach a window object that was never whole.
TEST_F(Win32EventsTest, AControlThatCannotBeMadeIsReportedAndLeavesNoWindow) {
  std::vector<ControlLayout> controls(alarm_window::layout.controls.begin(),
                                      alarm_window::layout.controls.end());
  controls.back().kind = static_cast<ControlKind>(-1);  // no control the system has
  WindowLayout layout = alarm_window::layout;
  layout.caption = "만들 수 없는 컨트롤";
  layout.controls = controls;
  Win32Windows windows(frame);
  EXPECT_TRUE(frame.run([&] { windows.create_window(layout); }));
  EXPECT_EQ(frame.messages, std::vector<std::string>{"런타임 오류 '7':\n\n메모리가 부족합니다."});
  EXPECT_EQ(::FindWindowW(nullptr, to_wide(layout.caption).c_str()), nullptr);
  pump_messages();
}

TEST_F(Win32EventsTest, TheTimerTicksFromTheMomentEventsAreDelivered) {
  Win32Window window(alarm_window::layout, frame);
  pump_messages();
  window.deliver_events_to(recorder);
  const ULONGLONG start = ::GetTickCount64();
  while (recorder.events.empty() && ::GetTickCount64() - start < 5000) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    pump_messages();
  }
  ASSERT_FALSE(recorder.events.empty());
  EXPECT_EQ(recorder.events.front(), std::make_pair(Event::Tick, kWindow));
}

}  // namespace
}  // namespace tovrel::win32
