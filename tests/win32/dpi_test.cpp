// Where the functions that take a DPI are missing (Windows 7, 8.1), the system DPI's values scaled
// to the window's stand in for them: they must come out as those functions give them.
#include "frame/ui/win32/dpi.h"

#include <gtest/gtest.h>

namespace tovrel::win32 {
namespace {

TEST(DpiMetricsTest, WithoutTheDpiFunctionsTheSystemDpisValuesAreScaled) {
  const DpiMetrics& modern = DpiMetrics::of_this_system();
  const DpiMetrics windows7 = DpiMetrics::without_dpi_functions();
  const HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                        nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const UINT system_dpi = modern.dpi_of(window);
  EXPECT_EQ(windows7.dpi_of(window), system_dpi);
  for (const UINT dpi : {system_dpi, 144u, 192u}) {
    SCOPED_TRACE(dpi);
    const LOGFONTW expected = modern.message_font(dpi), font = windows7.message_font(dpi);
    EXPECT_EQ(font.lfHeight, expected.lfHeight);
    EXPECT_STREQ(font.lfFaceName, expected.lfFaceName);
  }
  const RECT client{0, 0, 199, 82};
  for (const DWORD extended : {DWORD{0}, DWORD{WS_EX_TOOLWINDOW}}) {
    const RECT expected =
        modern.frame_around(client, WS_CAPTION | WS_SYSMENU, extended, system_dpi);
    const RECT frame = windows7.frame_around(client, WS_CAPTION | WS_SYSMENU, extended, system_dpi);
    EXPECT_TRUE(::EqualRect(&frame, &expected)) << extended;
  }
  ::DestroyWindow(window);
}

}  // namespace
}  // namespace tovrel::win32
