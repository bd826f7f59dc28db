// The alarm window's layout.
#pragma once

#include <cstddef>

#include "frame/layout.h"

namespace tovrel::form1 {

/// The window's controls, in the order of the layout table.
enum Control : std::size_t { Label1, Text1, Label2, Text2, Label3, Text3, Text4, Text5 };

extern const WindowLayout layout;

}  // namespace tovrel::form1
