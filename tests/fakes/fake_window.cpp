#include "fakes/fake_window.h"

namespace tovrel::testing {

FakeWindow::FakeWindow(const WindowLayout& layout) : layout_(layout) {
  for (const ControlLayout& control : layout.controls) texts_.emplace_back(control.text);
}

void FakeWindow::set_text(std::size_t control, const std::string& text) {
  if (texts_.at(control) == text) return;
  texts_[control] = text;
  if (on_change) on_change(control);
  if (events_ && layout_.controls[control].kind == ControlKind::TextBox) {
    events_->raise(Event::Change, control);
  }
}

void FakeWindow::type(std::size_t control, std::string_view characters) {
  const int limit = layout_.controls[control].typed_length_limit;
  for (const char c : characters) {
    if (limit > 0 && static_cast<int>(texts_[control].size()) >= limit) continue;
    set_text(control, texts_[control] + c);
  }
}

}  // namespace tovrel::testing
