// The alarm window on real Qt widgets: layout, control states and the texts of the start-up check.
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <fstream>
#include <optional>

#include "alarm_window/events.h"
#include "alarm_window/layout.h"
#include "fakes/expected_texts.h"
#include "fakes/fake_frame.h"
#include "frame/program_window.h"
#include "frame/ui/qt/qt_window.h"
#include "layout_geometry.h"

using tovrel::Event;
using tovrel::testing::FakeFrame;
using Alarm = tovrel::ProgramWindow<tovrel::alarm_window::AlarmWindow>;

class TestAlarmWindow : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir folder_;
  std::optional<FakeFrame> frame_;  // made afresh for each test
  tovrel::QtWindows windows_;

  // The alarm window on Qt widgets, with the fake frame's services.
  Alarm alarm() {
    return Alarm(*frame_, windows_, tovrel::alarm_window::layout, tovrel::alarm_window::events);
  }
  static QWidget& widget(Alarm& alarm) { return dynamic_cast<QWidget&>(alarm.window()); }

  void store(const std::string& bytes) {
    std::ofstream(folder_.filePath("SETUP.INI").toStdString(), std::ios::binary) << bytes;
  }
  QLineEdit* box(QWidget& window, const char* name) {
    return window.findChild<QLineEdit*>(QString::fromLatin1(name));
  }

 private slots:
  void init() {
    frame_.emplace();
    frame_->folder = folder_.path().toStdString();
    store(tovrel::testing::settings_file("7", "/a b.mp3"));
  }

  // At 96 dpi, also where the screen is scaled twice: the layout keeps its device-independent
  // size.
  void geometry() {
    Alarm alarm = this->alarm();
    QWidget& window = widget(alarm);
    QCOMPARE(window.logicalDpiX(), 96);
    QCOMPARE(window.devicePixelRatio(),
             qEnvironmentVariableIntValue("QT_SCALE_FACTOR") == 2 ? 2.0 : 1.0);
    compare_with_layout(window, tovrel::alarm_window::layout);
  }

  void frame_and_captions() {
    Alarm alarm = this->alarm();
    QWidget& window = widget(alarm);
    QCOMPARE(window.windowTitle(), QString::fromUtf8("Tovrel프로그램"));
    QVERIFY(window.windowFlags().testFlag(Qt::Tool));
    QVERIFY(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(window.findChild<QLabel*>("Label1")->text(), QString::fromUtf8("현재 시간"));
    QCOMPARE(window.findChild<QLabel*>("Label2")->text(), QString::fromUtf8("남은 시간"));
    QCOMPARE(window.findChild<QLabel*>("Label3")->text(), QString::fromUtf8("Tovrel 실행"));
  }

  void value_boxes_are_display_only() {
    Alarm alarm = this->alarm();
    QWidget& window = widget(alarm);
    window.show();
    for (const char* name : {"Text1", "Text2", "Text3"}) {
      QLineEdit* value = box(window, name);
      QVERIFY2(!value->isEnabled(), name);
      QVERIFY2(value->isReadOnly(), name);
      QVERIFY2(value->isVisible(), name);
      QCOMPARE(value->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
      QCOMPARE(value->text(), QString::fromLatin1(name));
    }
    QVERIFY(!box(window, "Text4")->isVisible());
    QVERIFY(!box(window, "Text5")->isVisible());
  }

  // Greyed, but readable: the darkest pixel of each box's text against its background.
  void value_boxes_are_readable() {
    Alarm alarm = this->alarm();
    QWidget& window = widget(alarm);
    window.show();
    const auto luminance = [](QRgb pixel) {
      const auto linear = [](int c) {
        const double v = c / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
      };
      return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) +
             0.0722 * linear(qBlue(pixel));
    };
    for (const char* name : {"Text1", "Text2", "Text3"}) {
      QLineEdit* value = box(window, name);
      // Inside the box's border, where only its background and its text are drawn.
      const QImage image = value->grab(value->rect().adjusted(4, 4, -4, -4)).toImage();
      const double background = luminance(image.pixel(1, 1));
      double ink = background;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) ink = std::min(ink, luminance(image.pixel(x, y)));
      }
      QVERIFY2((background + 0.05) / (ink + 0.05) >= 4.5, name);
    }
  }

  void timer_ticks_every_second_from_creation() {
    Alarm alarm = this->alarm();
    QWidget& window = widget(alarm);
    auto* timer = window.findChild<QTimer*>("Timer1");
    QVERIFY(timer && timer->isActive());
    QCOMPARE(timer->interval(), 1000);
  }

  void check_data() {
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("remaining");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("opens");
    QTest::newRow("before") << 5 << QString::fromUtf8("2시간 남았습니다.") << "Text3" << false;
    QTest::newRow("at") << 7 << QString::fromUtf8("Tovrel 시간 입니다.")
                        << QString::fromUtf8("실행") << true;
    QTest::newRow("after") << 9 << QString::fromUtf8("2시간 남았습니다.")
                           << QString::fromUtf8("실행 금지") << false;
  }

  void check() {
    QFETCH(int, hour);
    QFETCH(QString, remaining);
    QFETCH(QString, status);
    QFETCH(bool, opens);
    frame_->time = {hour, 40, 5};
    Alarm alarm = this->alarm();
    QWidget& window = widget(alarm);
    QVERIFY(!frame_->raise(alarm, Event::Load));
    QCOMPARE(box(window, "Text1")->text(),
             QString::fromStdString(frame_->format_time(frame_->time)));
    QCOMPARE(box(window, "Text2")->text(), remaining);
    QCOMPARE(box(window, "Text3")->text(), status);
    QCOMPARE(box(window, "Text4")->text(), "7");
    QCOMPARE(box(window, "Text5")->text(), "explorer.exe /a b.mp3");
    QCOMPARE(frame_->launches.size(), opens ? 1u : 0u);
  }

  void the_window_shows_after_the_check() {
    Alarm alarm = this->alarm();
    QVERIFY(!frame_->run([&] { alarm.open(); }));
    QVERIFY(widget(alarm).isVisible());
    QCOMPARE(box(widget(alarm), "Text3")->text(), "Text3");
  }

  void missing_settings_end_the_program_before_the_window_shows() {
    QFile::remove(folder_.filePath("SETUP.INI"));
    Alarm alarm = this->alarm();
    QVERIFY(frame_->run([&] { alarm.open(); }));
    QVERIFY(!widget(alarm).isVisible());
    QCOMPARE(frame_->messages.size(), 1u);
  }
};

QTEST_MAIN(TestAlarmWindow)
#include "tst_alarm_window.moc"
