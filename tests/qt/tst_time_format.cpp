// The alarm's time format: the locale's long time format less its time zone, for every locale Qt
// knows, against the regular expression it replaces.
#include <QLocale>
#include <QRegularExpression>
#include <QtTest>

#include "frame/ui/qt/time_format.h"

using tovrel::without_time_zone;

class TestTimeFormat : public QObject {
  Q_OBJECT

 private:
  static QString by_regular_expression(QString format) {
    format.remove(QRegularExpression(QStringLiteral("\\s*\\bt\\b")));
    return format.trimmed();
  }

  static void row(const char* name, const char* format, const char* expected) {
    QTest::newRow(name) << QString::fromUtf8(format) << QString::fromUtf8(expected);
  }

 private slots:
  void cases_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    row("zone last", "HH:mm:ss t", "HH:mm:ss");
    row("zone first", "t HH:mm:ss", "HH:mm:ss");
    row("zone between", "h:mm:ss t AP", "h:mm:ss AP");
    row("blanks before", "HH:mm:ss \t t", "HH:mm:ss");
    row("zone after Hangul", "a h시 m분 s초 t", "a h시 m분 s초");
    row("t in a word", "tt HH:mm:ss at", "tt HH:mm:ss at");
    row("t by an underscore", "_t HH t_", "_t HH t_");
    row("two zones", "t t", "");
    row("no zone", "HH:mm:ss", "HH:mm:ss");
  }

  void cases() {
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(without_time_zone(format), expected);
    QCOMPARE(by_regular_expression(format), expected);
  }

  void every_locale_as_before() {
    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    QVERIFY(locales.size() > 100);
    for (const QLocale& locale : locales) {
      const QString format = locale.timeFormat(QLocale::LongFormat);
      QCOMPARE(without_time_zone(format), by_regular_expression(format));
    }
  }
};

QTEST_APPLESS_MAIN(TestTimeFormat)
#include "tst_time_format.moc"
