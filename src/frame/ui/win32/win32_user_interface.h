// The window system's services on Windows: message boxes, the Open dialog and the locale's time
// format and decimal separator.
#pragma once

#ifndef _WIN32
#error "Win32 code: only the Windows build includes this header"
#endif

#include "frame/user_interface.h"

namespace tovrel::win32 {

class Win32UserInterface final : public UserInterface {
 public:
  void show_message(const std::string& caption, const std::string& text) override;
  std::string format_time(ClockTime time) const override;
  std::string decimal_separator() const override;
  std::optional<std::string> choose_file_to_open(const std::string& current) override;
};

}  // namespace tovrel::win32
