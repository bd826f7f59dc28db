// A window as plain texts, with the change event a text box raises.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "frame/window.h"

namespace tovrel::testing {

class FakeWindow final : public Window {
 public:
  explicit FakeWindow(const WindowLayout& layout);

  std::string text(std::size_t control) const override { return texts_.at(control); }
  /// A text box whose text changes raises its change event; setting the text it has is no change.
  void set_text(std::size_t control, const std::string& text) override;
  void deliver_events_to(EventSink& events) override { events_ = &events; }
  void show() override { texts_when_shown = texts_; }

  /// Types characters at the end of a box one at a time, as a user would; what a length-limited
  /// box has no room for is refused.
  void type(std::size_t control, std::string_view characters);

  const WindowLayout& layout() const { return layout_; }
  bool shown() const { return !texts_when_shown.empty(); }

  /// Runs on every change of a control's text, before its change event.
  std::function<void(std::size_t control)> on_change;
  std::vector<std::string> texts_when_shown;  // every control's text at the moment it was shown

 private:
  const WindowLayout& layout_;
  std::vector<std::string> texts_;
  EventSink* events_ = nullptr;
};

}  // namespace tovrel::testing
