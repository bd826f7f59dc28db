// The alarm window on Qt.
#pragma once

#include <QTimer>
#include <QWidget>

#include "alarm_window/form1.h"
#include "frame/qt/form_widgets.h"

namespace tovrel {

class AlarmWindow final : public QWidget {
 public:
  /// Creates the window with its controls; Timer1 ticks from here on.
  explicit AlarmWindow(Frame& frame);

  /// Runs the start-up check; call it once, before the window is shown.
  void check_at_start();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Frame& frame_;
  FormWidgets controls_;
  Form1 form_;
  QTimer* timer1_;
};

}  // namespace tovrel
