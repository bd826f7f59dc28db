#include "frame/qt/alarm_window.h"

#include "alarm_window/form1_layout.h"

namespace tovrel {

AlarmWindow::AlarmWindow(Frame& frame)
    : frame_(frame),
      controls_(*this, form1::layout),
      form_(frame, controls_),
      timer1_(new QTimer(this)) {
  timer1_->setObjectName(QStringLiteral("Timer1"));
  connect(timer1_, &QTimer::timeout, this,
          [this] { frame_.dispatch([this] { form_.timer1_tick(); }); });
  timer1_->start(form1::layout.timer_interval_ms);
}

void AlarmWindow::check_at_start() {
  frame_.dispatch([this] { form_.load(); });
}

void AlarmWindow::closeEvent(QCloseEvent*) {
  // Closed before the third tick: the alarm has nothing more to do.
  frame_.end_program();
}

}  // namespace tovrel
