// How both executables sit on a Linux desktop: the window system they run on, Qt's own texts in
// Korean, one Korean font in every locale, their own name and icon, and no settings file of Qt's.
#pragma once

#include <QByteArray>
#include <QFont>
#include <string_view>

namespace tovrel {

/// The window system for this session, as Qt's -platform takes it: X11 wherever an X server is
/// there (Xwayland too), where windows keep their frames and their place in the middle of the
/// screen, then Wayland where it alone is there or the X server turns us away. Empty where the
/// user named one in QT_QPA_PLATFORM, or where neither is there and Qt is left to say so.
QByteArray platform_for_session();

/// Until the previous handler, which it returns, is installed again: where Qt reaches no display
/// (it would end the process with abort() and advice to reinstall), says so on standard error and
/// ends the process with status 1. Installed while the application is made.
QtMessageHandler end_quietly_without_display(std::string_view program_name);

/// The font of every window, message box and dialog, whatever the locale.
QFont korean_ui_font();

/// Prepares the application, once it is made and before any window: loads Qt's Korean
/// translations when they are there, sets the font, the executable's application id (its desktop
/// entry's name) and the icon of that name, and keeps Qt from saving settings of its own (the
/// Open dialog's history).
void settle_into_desktop(std::string_view application_id);

}  // namespace tovrel
