#include "frame/qt/settings_window.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

#include "frame/qt/termination.h"
#include "settings_window/form2_layout.h"

namespace tovrel {

SettingsWindow::SettingsWindow(Frame& frame)
    : frame_(frame), controls_(*this, form2::layout), form_(frame, controls_) {
  const auto handler = [this](void (Form2::*method)()) {
    return [this, method] { frame_.dispatch([this, method] { (form_.*method)(); }); };
  };
  connect(controls_.text_box(form2::Text1), &QLineEdit::textChanged, this,
          handler(&Form2::text1_change));
  connect(controls_.button(form2::Command1), &QPushButton::clicked, this,
          handler(&Form2::command1_click));
  connect(controls_.button(form2::Command2), &QPushButton::clicked, this,
          handler(&Form2::command2_click));
  connect(controls_.button(form2::Command3), &QPushButton::clicked, this,
          handler(&Form2::command3_click));

  // The end of the desktop session closes the window like any other way of closing it.
  connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &QWidget::close);
  close_on_termination(*this);
}

void SettingsWindow::closeEvent(QCloseEvent*) {
  frame_.dispatch([this] { form_.query_unload(); });
}

}  // namespace tovrel
