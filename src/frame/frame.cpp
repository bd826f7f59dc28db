#include "frame/frame.h"

#include <cstdlib>

namespace tovrel {

void Frame::dispatch(const std::function<void()>& handler) {
  if (reporting_) return;
  try {
    handler();
  } catch (const Failure& failure) {
    reporting_ = true;
    report_runtime_error(failure);
  }
}

void Frame::end_program() {
  end_process();
  std::abort();  // end_process never returns
}

}  // namespace tovrel
