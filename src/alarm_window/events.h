// The alarm window's events: the start-up check at load and the self-ending tick.
#pragma once

#include "alarm_window/alarm_window.h"
#include "alarm_window/layout.h"
#include "frame/events.h"

namespace tovrel::alarm_window {

// Closing the window runs no handler: the window goes and the program with it.
inline constexpr EventHandler<AlarmWindow> events[] = {
    {.event = Event::Load, .source = kWindow, .handler = &AlarmWindow::load},
    {.event = Event::Tick, .source = kWindow, .handler = &AlarmWindow::timer1_tick},
};
static_assert(events_fit_window(events, layout));

}  // namespace tovrel::alarm_window
