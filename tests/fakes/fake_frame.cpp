#include "fakes/fake_frame.h"

#include <cstdio>

namespace tovrel::testing {
namespace {

// The program's hold on a window the frame keeps.
class WindowView final : public Window {
 public:
  explicit WindowView(FakeWindow& window) : window_(window) {}
  std::string text(std::size_t control) const override { return window_.text(control); }
  void set_text(std::size_t control, const std::string& text) override {
    window_.set_text(control, text);
  }
  void deliver_events_to(EventSink& events) override { window_.deliver_events_to(events); }
  void show() override { window_.show(); }

 private:
  FakeWindow& window_;
};

}  // namespace

void FakeSystem::cannot_start(const std::string& command_line, std::exception_ptr raised) {
  unstartable_[command_line] = std::move(raised);
}

bool FakeFrame::run(const std::function<void()>& work) {
  if (ended) return true;
  try {
    dispatch(work);
  } catch (const ProgramEnd&) {
  }
  return ended;
}

bool FakeFrame::raise(EventSink& window, Event event, std::size_t source) {
  return run([&] { window.raise(event, source); });
}

void FakeFrame::show_message(const std::string&, const std::string& text) {
  messages.push_back(text);
  if (while_message_waits) while_message_waits();
}

void FakeSystem::launch(const std::string& command_line) {
  if (const auto fault = unstartable_.find(command_line); fault != unstartable_.end()) {
    std::rethrow_exception(fault->second);
  }
  launches.push_back(command_line);
}

ClockTime FakeSystem::now() const {
  if (clock_fault) std::rethrow_exception(clock_fault);
  return time;
}

std::string FakeFrame::format_time(ClockTime t) const {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

std::optional<std::string> FakeFrame::choose_file_to_open(const std::string& current) {
  ++dialogs_shown;
  dialog_current = current;
  if (dialog_fault) std::rethrow_exception(dialog_fault);
  return chosen_file;
}

std::unique_ptr<Window> FakeFrame::create_window(const WindowLayout& layout) {
  windows_.push_back(std::make_unique<FakeWindow>(layout));
  return std::make_unique<WindowView>(*windows_.back());
}

void FakeSystem::exit(int status) {
  ended = true;
  exit_status = status;
  throw ProgramEnd{};
}

}  // namespace tovrel::testing
