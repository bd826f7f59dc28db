#include "fakes/fake_frame.h"

#include <cstdio>

namespace tovrel::testing {

bool FakeFrame::run(const std::function<void()>& handler) {
  if (ended) return true;
  try {
    dispatch(handler);
  } catch (const ProgramEnded& end) {
    ended = true;
    exit_status = end.status;
  }
  return ended;
}

void FakeFrame::show_message(const std::string& text) {
  messages.push_back(text);
  if (while_message_waits) while_message_waits();
}

void FakeFrame::launch(const std::string& command_line) {
  if (unstartable.count(command_line) > 0) throw Failure(ErrorNumber::FileNotFound);
  launches.push_back(command_line);
}

std::string FakeFrame::format_time(ClockTime t) const {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

std::optional<std::string> FakeFrame::choose_file_to_open() {
  ++dialogs_shown;
  if (dialog_fails) throw Failure(ErrorNumber::PathFileAccessError);
  return chosen_file;
}

void FakeFrame::end_process() { throw ProgramEnded{0}; }

void FakeFrame::report_runtime_error(const Failure& failure) {
  reported_failure = failure;
  messages.push_back(runtime_error_report(failure));
  throw ProgramEnded{static_cast<int>(failure.number())};
}

}  // namespace tovrel::testing
