#include "frame/frame.h"

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
    throw ProgramEnd{};
  }
}

void Frame::end_program() {
  end_process();
  throw ProgramEnd{};
}

}  // namespace tovrel
