// The alarm's time format: the locale's long time format less its time zone.
#pragma once

#include <QString>

namespace tovrel {

/// The format with each lone "t" (the time zone) and the blanks just before it removed, then
/// trimmed. A "t" counts as lone when no ASCII letter, digit or underscore touches it.
QString without_time_zone(const QString& format);

}  // namespace tovrel
