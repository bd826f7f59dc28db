// The alarm window's layout.
#pragma once

#include <cstddef>

#include "frame/layout.h"

namespace tovrel::alarm_window {

/// The window's controls, in the order of the layout table.
enum Control : std::size_t { Label1, Text1, Label2, Text2, Label3, Text3, Text4, Text5 };

// The value boxes are display only, each named by the label before it; Text4 keeps the hour
// setting as read and Text5 the command line that opens the file, both unseen and unnamed. A row
// a control, kept so by hand.
// clang-format off
inline constexpr ControlLayout controls[] = {
    {.control = Label1, .name = "Label1", .kind = ControlKind::Label,
     .bounds = {120, 120, 855, 255}, .tab_index = 0, .text = "현재 시간"},
    {.control = Text1, .name = "Text1", .kind = ControlKind::TextBox,
     .bounds = {1080, 120, 1815, 270}, .tab_index = 1, .text = "Text1",
     .centred = true, .read_only = true, .enabled = false,
     .labelled_by = Label1},
    {.control = Label2, .name = "Label2", .kind = ControlKind::Label,
     .bounds = {120, 480, 855, 255}, .tab_index = 2, .text = "남은 시간"},
    {.control = Text2, .name = "Text2", .kind = ControlKind::TextBox,
     .bounds = {1080, 480, 1815, 270}, .tab_index = 3, .text = "Text2",
     .centred = true, .read_only = true, .enabled = false,
     .labelled_by = Label2},
    {.control = Label3, .name = "Label3", .kind = ControlKind::Label,
     .bounds = {120, 840, 855, 255}, .tab_index = 4, .text = "Tovrel 실행"},
    {.control = Text3, .name = "Text3", .kind = ControlKind::TextBox,
     .bounds = {1080, 840, 1815, 270}, .tab_index = 5, .text = "Text3",
     .centred = true, .read_only = true, .enabled = false,
     .labelled_by = Label3},
    {.control = Text4, .name = "Text4", .kind = ControlKind::TextBox,
     .bounds = {480, 240, 1455, 375}, .tab_index = 6, .text = "",
     .visible = false},
    {.control = Text5, .name = "Text5", .kind = ControlKind::TextBox,
     .bounds = {480, 720, 1455, 270}, .tab_index = 7, .text = "",
     .visible = false},
};
// clang-format on
static_assert(rows_stand_at_their_index(controls, Text5 + 1));
static_assert(labels_are_labels(controls));

inline constexpr WindowLayout layout{
    .name = "Form1",
    .caption = "Tovrel프로그램",
    .border_style = BorderStyle::FixedToolWindow,
    .client_width = 2985,
    .client_height = 1230,
    .controls = controls,
    .timer = {.name = "Timer1", .interval_ms = 1000},
    .activates_when_shown = false,
};

}  // namespace tovrel::alarm_window
