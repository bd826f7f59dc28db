// The settings window's events: the hour filter, the three buttons and closing.
#pragma once

#include "frame/events.h"
#include "settings_window/layout.h"
#include "settings_window/settings_window.h"

namespace tovrel::settings_window {

inline constexpr EventHandler<SettingsWindow> events[] = {
    {.event = Event::Change, .source = Text1, .handler = &SettingsWindow::text1_change},
    {.event = Event::Click, .source = Command1, .handler = &SettingsWindow::command1_click},
    {.event = Event::Click, .source = Command2, .handler = &SettingsWindow::command2_click},
    {.event = Event::Click, .source = Command3, .handler = &SettingsWindow::command3_click},
    {.event = Event::Close, .source = kWindow, .handler = &SettingsWindow::query_unload},
};
static_assert(events_fit_window(events, layout));

}  // namespace tovrel::settings_window
