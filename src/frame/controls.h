// The text-bearing controls of one window, as its handlers see them.
#pragma once

#include <cstddef>
#include <string>

namespace tovrel {

/// Controls are addressed by their row in the window's layout table.
class Controls {
 public:
  virtual ~Controls() = default;
  virtual std::string text(std::size_t control) const = 0;
  /// Replaces a control's text; when a text box's text changes, its change handler runs.
  virtual void set_text(std::size_t control, const std::string& text) = 0;
};

}  // namespace tovrel
