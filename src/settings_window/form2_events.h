// The settings window's events: the hour filter, the three buttons and closing.
#pragma once

#include "frame/events.h"
#include "settings_window/form2.h"
#include "settings_window/form2_layout.h"

namespace tovrel::form2 {

inline constexpr EventHandler<Form2> events[] = {
    {.event = Event::Change, .source = Text1, .handler = &Form2::text1_change},
    {.event = Event::Click, .source = Command1, .handler = &Form2::command1_click},
    {.event = Event::Click, .source = Command2, .handler = &Form2::command2_click},
    {.event = Event::Click, .source = Command3, .handler = &Form2::command3_click},
    {.event = Event::Close, .source = kWindow, .handler = &Form2::query_unload},
};
static_assert(events_fit_window(events, layout));

}  // namespace tovrel::form2
