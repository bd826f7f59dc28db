// The frame on Windows: message boxes, the Open dialog and the locale's time format and decimal
// separator.
#pragma once

#ifndef _WIN32
#error "Win32 code: only the Windows build includes this header"
#endif

#include "frame/frame.h"

namespace tovrel::win32 {

class Win32Frame final : public Frame {
 public:
  explicit Win32Frame(System& system) : Frame(system) {}

  void show_message(const std::string& text) override;
  std::string format_time(ClockTime time) const override;
  std::string decimal_separator() const override;
  std::optional<std::string> choose_file_to_open(const std::string& current) override;
};

}  // namespace tovrel::win32
