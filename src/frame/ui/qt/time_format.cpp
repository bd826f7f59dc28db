#include "frame/ui/qt/time_format.h"

namespace tovrel {
namespace {

// What a regular expression's \w and \s match without Unicode properties: ASCII only.
bool is_word(QChar c) {
  const char16_t u = c.unicode();
  return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_';
}

bool is_blank(QChar c) {
  const char16_t u = c.unicode();
  return u == ' ' || (u >= '\t' && u <= '\r');
}

}  // namespace

// A plain scan rather than a regular expression, whose compiling at start-up would take half a
// megabyte of resident memory (PCRE2's JIT) for a one-letter edit.
QString without_time_zone(const QString& format) {
  QString kept;
  kept.reserve(format.size());
  for (qsizetype i = 0; i < format.size(); ++i) {
    const bool lone_t = format[i] == u't' && (i == 0 || !is_word(format[i - 1])) &&
                        (i + 1 == format.size() || !is_word(format[i + 1]));
    if (!lone_t) {
      kept += format[i];
      continue;
    }
    while (!kept.isEmpty() && is_blank(kept.back())) kept.chop(1);
  }
  return kept.trimmed();
}

}  // namespace tovrel
