#include "fakes/fake_controls.h"

namespace tovrel::testing {

FakeControls::FakeControls(const WindowLayout& layout) : layout_(layout) {
  for (const ControlLayout& control : layout.controls) texts_.emplace_back(control.text);
}

void FakeControls::set_text(std::size_t control, const std::string& text) {
  if (texts_.at(control) == text) return;
  texts_[control] = text;
  ++changes;
  if (on_change) on_change(control);
}

void FakeControls::type(std::size_t control, std::string_view characters) {
  const int limit = layout_.controls[control].typed_length_limit;
  for (const char c : characters) {
    if (limit > 0 && static_cast<int>(texts_[control].size()) >= limit) continue;
    set_text(control, texts_[control] + c);
  }
}

}  // namespace tovrel::testing
