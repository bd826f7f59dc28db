#include "frame/qt/desktop.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "frame/qt/qt_text.h"

namespace tovrel {
namespace {

// Every text of the program is Korean, so the toolkit's own words (the message box's button, the
// Open dialog) are too, whatever the locale; without the translations they stay English.
void load_korean_translations() {
  auto* translator = new QTranslator(qApp);
  if (translator->load(QStringLiteral("qtbase_ko"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

// Qt keeps the Open dialog's history in a settings file of its own; the program keeps no state but
// SETUP.INI. No folder can be made inside /dev/null, so that file is never written.
void keep_no_settings() {
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
}

// The program's icon, from its images at each size (the resources' folder named after it).
QIcon icon_of(const QString& application_id) {
  QIcon icon;
  const QDir images(QStringLiteral(":/icons/") + application_id);
  for (const QFileInfo& image : images.entryInfoList(QDir::Files)) icon.addFile(image.filePath());
  return icon;
}

}  // namespace

namespace {

std::string program_name;
QtMessageHandler handler_before = nullptr;

void end_on_missing_display(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr,
                 "%s: 창을 띄울 디스플레이가 없습니다 (DISPLAY=%s, WAYLAND_DISPLAY=%s). "
                 "There is no display to show the window on.\n",
                 program_name.c_str(), qgetenv("DISPLAY").constData(),
                 qgetenv("WAYLAND_DISPLAY").constData());
    std::_Exit(1);
  }
  // "Could not load the Qt platform plugin" says nothing true about a missing display.
  if (std::string_view(context.category ? context.category : "") == "qt.qpa.plugin") return;
  handler_before(type, context, message);
}

}  // namespace

QtMessageHandler end_quietly_without_display(std::string_view name) {
  program_name = name;
  handler_before = qInstallMessageHandler(end_on_missing_display);
  return handler_before;
}

QByteArray platform_for_session() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return {};
  const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
  const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  if (x11 && wayland) return "xcb;wayland";
  if (x11) return "xcb";
  if (wayland) return "wayland";
  return {};
}

QFont korean_ui_font() {
  // Named, since the fallback for Hangul differs from locale to locale, and with it the width of
  // the Latin letters. The largest half-point size at which every caption and initial text fits
  // its control at 96, 144 and 192 dpi: at 9 points "Tovrel 실행" is a pixel wider than its label.
  QFont font(QStringLiteral("NanumGothic"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(8.5);
  return font;
}

void settle_into_desktop(std::string_view application_id) {
  load_korean_translations();
  QApplication::setFont(korean_ui_font());
  const QString id = to_qt(application_id);
  QGuiApplication::setDesktopFileName(id);
  QApplication::setWindowIcon(icon_of(id));
  keep_no_settings();
}

}  // namespace tovrel
