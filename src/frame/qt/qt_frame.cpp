#include "frame/qt/qt_frame.h"

#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QTime>
#include <cstdio>
#include <cstdlib>

#include "frame/platform.h"
#include "frame/qt/qt_text.h"
#include "frame/qt/time_format.h"

namespace tovrel {
namespace {

void show_box(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner);
  box.exec();
}

[[noreturn]] void exit_now(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}

}  // namespace

QtFrame::QtFrame(const Executable& executable, const QtWindows& windows)
    : executable_(executable), windows_(windows) {}

std::string QtFrame::app_folder() const { return platform::executable_folder(); }

std::string QtFrame::app_title() const { return std::string(executable_.title); }

void QtFrame::show_message(const std::string& text) {
  show_box(windows_.dialog_owner(), to_qt(executable_.title), to_qt(text));
}

void QtFrame::launch(const std::string& command_line) { platform::start_program(command_line); }

void QtFrame::end_process() { exit_now(EXIT_SUCCESS); }

ClockTime QtFrame::now() const {
  const QTime time = QTime::currentTime();
  return {time.hour(), time.minute(), time.second()};
}

std::string QtFrame::format_time(ClockTime time) const {
  // The locale's long time format with seconds, less its time zone.
  const QLocale locale = QLocale::system();
  const QString format = without_time_zone(locale.timeFormat(QLocale::LongFormat));
  return locale.toString(QTime(time.hour, time.minute, time.second), format).toStdString();
}

std::string QtFrame::decimal_separator() const {
  return QLocale::system().decimalPoint().toStdString();
}

std::optional<std::string> QtFrame::choose_file_to_open() {
  // Qt's own dialog on every desktop: it speaks Korean with the program, and the desktop's dialog
  // would note the file among the user's recent ones.
  const QString file = QFileDialog::getOpenFileName(windows_.dialog_owner(), {}, {}, {}, nullptr,
                                                    QFileDialog::DontUseNativeDialog);
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

void QtFrame::report_runtime_error(const Failure& failure) {
  try {
    show_box(windows_.dialog_owner(), to_qt(executable_.title),
             to_qt(runtime_error_report(failure)));
  } catch (...) {
    // Out of memory even for the report: the exit status still tells the error.
  }
  exit_now(static_cast<int>(failure.number()));
}

}  // namespace tovrel
