// The controls of a window as plain texts, with the change handler a text box would run.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "frame/controls.h"
#include "frame/layout.h"

namespace tovrel::testing {

class FakeControls final : public Controls {
 public:
  explicit FakeControls(const WindowLayout& layout);

  std::string text(std::size_t control) const override { return texts_.at(control); }
  void set_text(std::size_t control, const std::string& text) override;

  /// Types characters at the end of a box one at a time, as a user would; what a length-limited
  /// box has no room for is refused.
  void type(std::size_t control, std::string_view characters);

  /// Runs on every change of a control's text.
  std::function<void(std::size_t control)> on_change;
  int changes = 0;

 private:
  const WindowLayout& layout_;
  std::vector<std::string> texts_;
};

}  // namespace tovrel::testing
