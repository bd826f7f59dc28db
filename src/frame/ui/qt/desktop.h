// How both executables sit on a Linux desktop: the window system they run on, Qt's own texts in
// Korean, one Korean font in every locale, their own name and icon, no settings file of Qt's, and
// a clear word where no display answers.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QFont>
#include <string>
#include <string_view>
#include <vector>

namespace tovrel {

/// The application, made for the session's window system and settled into the desktop.
class DesktopApplication {
 public:
  /// Qt gets the application id as the program's name, which X11 gives the windows as their
  /// class, and the window system to run on; nothing else of a command line. Where no display
  /// answers, says so on standard error and ends the process with status 1 (Qt would abort and
  /// advise reinstalling).
  explicit DesktopApplication(std::string_view application_id);

 private:
  // What QApplication takes as its command line, and keeps referring to.
  struct Arguments {
    explicit Arguments(std::string_view application_id);
    std::string name;
    QByteArray platform;
    std::vector<char*> argv;
    int argc;
  };

  Arguments arguments_;
  QtMessageHandler handler_before_;
  QApplication application_;
};

/// The window system for this session, as Qt's -platform takes it: X11 wherever an X server is
/// there (Xwayland too), where windows keep their frames and their place in the middle of the
/// screen, then Wayland where it alone is there or the X server turns us away. Empty where the
/// user named one in QT_QPA_PLATFORM, or where neither is there and Qt is left to say so.
QByteArray platform_for_session();

/// The font of every window, message box and dialog, whatever the locale.
QFont korean_ui_font();

/// Prepares the application, once it is made and before any window: sets the font, the
/// executable's application id (its desktop entry's name) and the icon of that name, and keeps
/// Qt from saving settings of its own (the Open dialog's history).
void settle_into_desktop(std::string_view application_id);

/// Loads Qt's Korean translations, once, when they are there: the words Qt itself shows in a
/// message box and the Open dialog. A window needs none of them, so they wait for the first box.
void speak_korean();

}  // namespace tovrel
