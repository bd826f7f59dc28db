// Every caption and initial text of both windows fits its control, in the font the control really
// uses, at the DPI and in the locale this run was started with (see CMakeLists.txt).
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QtTest>

#include "alarm_window/layout.h"
#include "frame/ui/qt/desktop.h"
#include "frame/ui/qt/qt_window.h"
#include "program/executables.h"
#include "settings_window/layout.h"

Q_DECLARE_METATYPE(const tovrel::WindowLayout*)
Q_DECLARE_METATYPE(const tovrel::ControlLayout*)

namespace {

// QLineEdit keeps this much blank on either side of its text, inside the style's contents.
constexpr int kLineEditMargin = 2;

// The width and height the widget leaves its text, as it paints it.
QSize room_for_text(QWidget& widget) {
  QStyle& style = *widget.style();
  if (auto* label = qobject_cast<QLabel*>(&widget)) {
    const int margin = label->margin();
    return label->contentsRect().marginsRemoved({margin, margin, margin, margin}).size();
  }
  if (auto* box = qobject_cast<QLineEdit*>(&widget)) {
    QStyleOptionFrame option;
    option.initFrom(box);
    option.rect = box->contentsRect();
    option.lineWidth = box->hasFrame() ? style.pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    const QRect contents = style.subElementRect(QStyle::SE_LineEditContents, &option, box)
                               .marginsRemoved(box->textMargins());
    // The text scrolls once it and a one-pixel cursor no longer fit between the margins.
    return {contents.width() - 2 * kLineEditMargin - 1, contents.height()};
  }
  auto* button = qobject_cast<QPushButton*>(&widget);
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  if (button->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
  return style.subElementRect(QStyle::SE_PushButtonContents, &option, button).size();
}

}  // namespace

class TestFontFit : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    tovrel::settle_into_desktop(tovrel::kAlarmExecutable.application_id);
    QCOMPARE(QApplication::primaryScreen()->logicalDotsPerInchX(),
             qEnvironmentVariableIntValue("QT_FONT_DPI"));
  }

  void fits_data() {
    QTest::addColumn<const tovrel::WindowLayout*>("layout");
    QTest::addColumn<const tovrel::ControlLayout*>("control");
    for (const tovrel::WindowLayout* layout :
         {&tovrel::alarm_window::layout, &tovrel::settings_window::layout}) {
      for (const tovrel::ControlLayout& control : layout->controls) {
        if (!control.visible || control.text.empty()) continue;
        QTest::addRow("%s.%s", layout->name.data(), control.name.data()) << layout << &control;
      }
    }
  }

  void fits() {
    QFETCH(const tovrel::WindowLayout*, layout);
    QFETCH(const tovrel::ControlLayout*, control);
    tovrel::QtWindow window(*layout, false);
    QWidget& widget = *window.findChild<QWidget*>(QString::fromUtf8(control->name));

    // The layout table places the control, at this DPI.
    const int dpi = window.logicalDpiX();
    const auto pixels = [dpi](int twips) { return tovrel::twips_to_pixels(twips, dpi); };
    const tovrel::Twips& bounds = control->bounds;
    QCOMPARE(widget.geometry(), QRect(pixels(bounds.left), pixels(bounds.top), pixels(bounds.width),
                                      pixels(bounds.height)));

    const QString text = QString::fromUtf8(control->text.data(), control->text.size());
    const QFontMetricsF metrics(widget.font());
    const QSize needed(qCeil(metrics.horizontalAdvance(text)), qCeil(metrics.height()));
    const QSize room = room_for_text(widget);
    QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
             qPrintable(QStringLiteral("\"%1\" in %2 needs %3x%4 px, the control leaves %5x%6")
                            .arg(text, QFontInfo(widget.font()).family())
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(room.width())
                            .arg(room.height())));
  }

  // Where the window draws its own title bar (Wayland), its caption is whole beside the close box.
  void caption_fits_the_windows_own_title_bar_data() {
    QTest::addColumn<const tovrel::WindowLayout*>("layout");
    QTest::newRow("alarm") << &tovrel::alarm_window::layout;
    QTest::newRow("settings") << &tovrel::settings_window::layout;
  }

  void caption_fits_the_windows_own_title_bar() {
    QFETCH(const tovrel::WindowLayout*, layout);
    tovrel::QtWindow window(*layout, true);
    window.show();
    const auto* caption = window.findChild<QLabel*>(QStringLiteral("Caption"));
    QVERIFY(caption);
    QCOMPARE(caption->text(), QString::fromUtf8(layout->caption.data(), layout->caption.size()));
    const QFontMetricsF metrics(caption->font());
    QVERIFY2(qCeil(metrics.horizontalAdvance(caption->text())) <= caption->contentsRect().width(),
             qPrintable(QStringLiteral("the caption needs %1 px, the title bar leaves %2")
                            .arg(qCeil(metrics.horizontalAdvance(caption->text())))
                            .arg(caption->contentsRect().width())));
    // The client area keeps the layout's size below it.
    const int dpi = window.logicalDpiX();
    QCOMPARE(window.findChild<QWidget*>(QStringLiteral("ClientArea"))->size(),
             QSize(tovrel::twips_to_pixels(layout->client_width, dpi),
                   tovrel::twips_to_pixels(layout->client_height, dpi)));
  }
};

QTEST_MAIN(TestFontFit)
#include "tst_font_fit.moc"
