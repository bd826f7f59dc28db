#include "frame/frame.h"

#include <cstdlib>

namespace tovrel {

void Frame::dispatch(const std::function<void()>& work) {
  if (reporting_) return;
  try {
    work();
  } catch (const ProgramEnd&) {
    throw;
  } catch (...) {
    const Failure failure = current_failure();
    reporting_ = true;
    report_runtime_error(failure);
  }
}

void Frame::end_program() { exit(0); }

void Frame::report_runtime_error(const Failure& failure) {
  try {
    show_message(runtime_error_report(failure));
  } catch (...) {
    // Out of memory even for the report: the exit status still tells the error.
  }
  exit(static_cast<int>(failure.number()));
}

void Frame::exit(int status) {
  system_.exit(status);
  // An end that returned would let the handler that asked for it go on.
  std::abort();
}

}  // namespace tovrel
