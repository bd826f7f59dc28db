// Every caption and initial text of both layout tables, measured in the font its control really
// uses, against the room the control leaves for text, at 96, 144 and 192 dpi.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "alarm_window/layout.h"
#include "fakes/fake_frame.h"
#include "frame/os/win32/wide_text.h"
#include "frame/ui/win32/fitted_font.h"
#include "frame/ui/win32/win32_window.h"
#include "settings_window/layout.h"

namespace tovrel::win32 {
namespace {

HFONT font_of(HWND control) {
  return reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
}

LOGFONTW description_of(HFONT font) {
  LOGFONTW description{};
  ::GetObjectW(font, sizeof description, &description);
  return description;
}

SIZE extent_of(const std::wstring& text, HFONT font) {
  const HDC dc = ::GetDC(nullptr);
  const HGDIOBJ old = ::SelectObject(dc, font);
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return size;
}

LOGFONTW message_font(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
  return metrics.lfMessageFont;
}

class TextFitTest : public ::testing::TestWithParam<std::tuple<const WindowLayout*, UINT>> {
 protected:
  const WindowLayout& layout() const { return *std::get<0>(GetParam()); }
  UINT dpi() const { return std::get<1>(GetParam()); }
  testing::FakeFrame frame;
};

TEST_P(TextFitTest, EveryCaptionAndInitialTextFitsItsControl) {
  Win32Window window(layout(), frame);
  if (dpi() != ::GetDpiForWindow(window.handle())) {
    RECT suggested{0, 0, 800, 600};
    ::SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(dpi(), dpi()),
                   reinterpret_cast<LPARAM>(&suggested));
  }
  const LOGFONTW message = message_font(dpi());
  const LONG message_height = message.lfHeight;
  bool one_pixel_more_would_clip = false;
  for (const ControlLayout& control : layout().controls) {
    if (control.text.empty()) continue;
    SCOPED_TRACE(std::string(control.name) + " \"" + std::string(control.text) + "\"");
    const HWND made = window.control(control.control);
    const HFONT font = font_of(made);
    ASSERT_NE(font, nullptr) << "the system font, not the user's";
    LOGFONTW used = description_of(font);
    EXPECT_STREQ(used.lfFaceName, message.lfFaceName);
    EXPECT_LE(std::abs(used.lfHeight), std::abs(message_height)) << "the message font or smaller";

    const std::wstring text = to_wide(control.text);
    const int room = room_for_text(made, control.kind);
    RECT client{};
    ::GetClientRect(made, &client);
    const SIZE extent = extent_of(text, font);
    EXPECT_LE(extent.cx, room);
    EXPECT_LE(extent.cy, client.bottom) << "cut at the bottom";

    used.lfHeight += used.lfHeight < 0 ? -1 : 1;
    const HFONT larger = ::CreateFontIndirectW(&used);
    one_pixel_more_would_clip |= extent_of(text, larger).cx > room;
    ::DeleteObject(larger);
  }
  if (std::abs(description_of(font_of(window.control(0))).lfHeight) < std::abs(message_height)) {
    EXPECT_TRUE(one_pixel_more_would_clip) << "made smaller than it had to be";
  }
}

INSTANTIATE_TEST_SUITE_P(BothWindowsAtThreeDpis, TextFitTest,
                         ::testing::Combine(::testing::Values(&alarm_window::layout,
                                                              &settings_window::layout),
                                            ::testing::Values(96u, 144u, 192u)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param)->name) + "_" +
                                  std::to_string(std::get<1>(info.param)) + "dpi";
                         });

}  // namespace
}  // namespace tovrel::win32
