// The alarm window's events: the start-up check at load and the self-ending tick.
#pragma once

#include "alarm_window/form1.h"
#include "alarm_window/form1_layout.h"
#include "frame/events.h"

namespace tovrel::form1 {

// Closing the window runs no handler: the window goes and the program with it.
inline constexpr EventHandler<Form1> events[] = {
    {.event = Event::Load, .source = kWindow, .handler = &Form1::load},
    {.event = Event::Tick, .source = kWindow, .handler = &Form1::timer1_tick},
};
static_assert(events_fit_window(events, layout));

}  // namespace tovrel::form1
