#include "frame/ui/qt/desktop.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLibraryInfo>
#include <QPixmap>
#include <QResource>
#include <QSettings>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "frame/ui/qt/qt_text.h"

namespace tovrel {
namespace {

// Qt keeps the Open dialog's history in a settings file of its own; the program keeps no state but
// SETUP.INI. No folder can be made inside /dev/null, so that file is never written.
void keep_no_settings() {
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
}

// The program's icon, from its images at each size that packaging/make-icons draws, as raw pixels:
// an image file would have Qt load its image reader, and every image format plugin to ask each
// whether it reads the file, at every start.
QIcon icon_of(const QString& application_id) {
  QIcon icon;
  for (const int size : {16, 32, 64}) {
    const QResource pixels(QStringLiteral(":/icons/%1/%2.bgra").arg(application_id).arg(size));
    if (pixels.uncompressedSize() != qint64{size} * size * 4) continue;
    icon.addPixmap(QPixmap::fromImage(QImage(pixels.data(), size, size, QImage::Format_ARGB32)));
  }
  return icon;
}

std::string program_name;
QtMessageHandler handler_before = nullptr;

// Where Qt reaches no display, it ends the process with abort() and advice to reinstall: while the
// application is made, that says so instead, and ends with status 1.
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

QtMessageHandler end_quietly_without_display(std::string_view name) {
  program_name = name;
  handler_before = qInstallMessageHandler(end_on_missing_display);
  return handler_before;
}

}  // namespace

DesktopApplication::Arguments::Arguments(std::string_view application_id)
    : name(application_id), platform(platform_for_session()) {
  static char platform_option[] = "-platform";
  argv.push_back(name.data());
  if (!platform.isEmpty()) argv.insert(argv.end(), {platform_option, platform.data()});
  argc = static_cast<int>(argv.size());
  argv.push_back(nullptr);
}

DesktopApplication::DesktopApplication(std::string_view application_id)
    : arguments_(application_id),
      handler_before_(end_quietly_without_display(application_id)),
      application_(arguments_.argc, arguments_.argv.data()) {
  qInstallMessageHandler(handler_before_);
  settle_into_desktop(application_id);
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

void speak_korean() {
  // Every text of the program is Korean, so the toolkit's own words are too, whatever the locale;
  // without the translations they stay English.
  static const bool loaded = [] {
    auto* translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_ko"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      return QCoreApplication::installTranslator(translator);
    }
    delete translator;
    return false;
  }();
  static_cast<void>(loaded);
}

void settle_into_desktop(std::string_view application_id) {
  QApplication::setFont(korean_ui_font());
  const QString id = to_qt(application_id);
  QGuiApplication::setDesktopFileName(id);
  QApplication::setWindowIcon(icon_of(id));
  keep_no_settings();
}

}  // namespace tovrel
