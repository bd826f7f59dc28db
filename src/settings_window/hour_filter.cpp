#include "settings_window/hour_filter.h"

namespace tovrel::settings_window {

bool is_hour_text(std::string_view text) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (text.size() == 1) return digit(text[0]);
  if (text.size() != 2 || !digit(text[1])) return false;
  return text[0] == '1' || (text[0] == '2' && text[1] <= '3');
}

}  // namespace tovrel::settings_window
