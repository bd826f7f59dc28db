// The texts the hour box lets stand.
#pragma once

#include <string_view>

namespace tovrel::settings_window {

/// Exactly one of "0" to "23": no leading zero, no blank, no sign.
bool is_hour_text(std::string_view text);

}  // namespace tovrel::settings_window
