// The settings window on Qt.
#pragma once

#include <QWidget>

#include "frame/qt/form_widgets.h"
#include "settings_window/form2.h"

namespace tovrel {

class SettingsWindow final : public QWidget {
 public:
  explicit SettingsWindow(Frame& frame);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Frame& frame_;
  FormWidgets controls_;
  Form2 form_;
};

}  // namespace tovrel
