// The settings window's layout. Its caption and label captions are the settings names.
#pragma once

#include <cstddef>
#include <string_view>

#include "frame/layout.h"
#include "settings_store/settings_names.h"

namespace tovrel::settings_window {

/// The window's controls, in the order of the layout table.
enum Control : std::size_t { Label1, Text1, Label2, Text2, Command1, Command2, Command3 };

/// The path box's initial text: no file has been chosen yet.
inline constexpr std::string_view kPathHint = "찾아보기를 눌러 주세요.";

// Only Browse and Load change the path box. The hour box's limit is on what the user types or
// pastes; what the program puts there is not cut. A row a control, kept so by hand.
// clang-format off
inline constexpr ControlLayout controls[] = {
    {.control = Label1, .name = "Label1", .kind = ControlKind::Label,
     .bounds = {120, 120, 975, 255}, .tab_index = 0, .text = kHourKey},
    {.control = Text1, .name = "Text1", .kind = ControlKind::TextBox,
     .bounds = {1200, 120, 1695, 270}, .tab_index = 1, .text = "",
     .typed_length_limit = 2, .labelled_by = Label1},
    {.control = Label2, .name = "Label2", .kind = ControlKind::Label,
     .bounds = {120, 600, 1095, 255}, .tab_index = 2, .text = kFileKey},
    {.control = Text2, .name = "Text2", .kind = ControlKind::TextBox,
     .bounds = {1200, 600, 3375, 270}, .tab_index = 3, .text = kPathHint,
     .read_only = true, .labelled_by = Label2},
    {.control = Command1, .name = "Command1", .kind = ControlKind::Button,
     .bounds = {3240, 120, 1095, 375}, .tab_index = 4, .text = "찾아보기"},
    {.control = Command2, .name = "Command2", .kind = ControlKind::Button,
     .bounds = {120, 1080, 2055, 375}, .tab_index = 5, .text = "불러오기"},
    {.control = Command3, .name = "Command3", .kind = ControlKind::Button,
     .bounds = {2400, 1080, 2055, 375}, .tab_index = 6, .text = "저장하기"},
};
// clang-format on
static_assert(rows_stand_at_their_index(controls, Command3 + 1));
static_assert(labels_are_labels(controls));

inline constexpr WindowLayout layout{
    .name = "Form2",
    .caption = kSettingsSection,
    .border_style = BorderStyle::FixedSingle,
    .client_width = 4635,
    .client_height = 1635,
    .controls = controls,
};

}  // namespace tovrel::settings_window
