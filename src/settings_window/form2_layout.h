// The settings window's layout. Its caption and label captions are the settings names.
#pragma once

#include <cstddef>
#include <string_view>

#include "frame/layout.h"

namespace tovrel::form2 {

/// The window's controls, in the order of the layout table.
enum Control : std::size_t { Label1, Text1, Label2, Text2, Command1, Command2, Command3 };

/// The path box's initial text: no file has been chosen yet.
inline constexpr std::string_view kPathHint = "찾아보기를 눌러 주세요.";

extern const WindowLayout layout;

}  // namespace tovrel::form2
