#include "frame/ui/qt/qt_user_interface.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTime>

#include "frame/ui/qt/desktop.h"
#include "frame/ui/qt/qt_text.h"
#include "frame/ui/qt/time_format.h"

namespace tovrel {
namespace {

// Qt's dialog given no folder opens in the working folder, which is / when the desktop or a
// service started the program: the folder of the file already chosen, or else the user's home.
QString start_folder(const QString& current) {
  const QFileInfo file(current);
  if (file.isAbsolute() && file.dir().exists()) return file.absolutePath();
  return QDir::homePath();
}

}  // namespace

void QtUserInterface::show_message(const std::string& caption, const std::string& text) {
  speak_korean();
  QMessageBox box(QMessageBox::NoIcon, to_qt(caption), to_qt(text), QMessageBox::Ok,
                  windows_.dialog_owner());
  box.exec();
}

std::string QtUserInterface::format_time(ClockTime time) const {
  // The locale's long time format with seconds, less its time zone.
  const QLocale locale = QLocale::system();
  const QString format = without_time_zone(locale.timeFormat(QLocale::LongFormat));
  return locale.toString(QTime(time.hour, time.minute, time.second), format).toStdString();
}

std::string QtUserInterface::decimal_separator() const {
  return QLocale::system().decimalPoint().toStdString();
}

std::optional<std::string> QtUserInterface::choose_file_to_open(const std::string& current) {
  // Qt's own dialog on every desktop: it speaks Korean with the program, and the desktop's dialog
  // would note the file among the user's recent ones.
  speak_korean();
  const QString file =
      QFileDialog::getOpenFileName(windows_.dialog_owner(), {}, start_folder(to_qt(current)), {},
                                   nullptr, QFileDialog::DontUseNativeDialog);
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

}  // namespace tovrel
