// The settings window on real Qt widgets: layout, what typing and pasting leave in the hour box,
// and the three buttons.
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <iterator>
#include <optional>

#include "fakes/expected_texts.h"
#include "fakes/fake_frame.h"
#include "frame/program_window.h"
#include "frame/ui/qt/qt_user_interface.h"
#include "frame/ui/qt/qt_window.h"
#include "layout_geometry.h"
#include "settings_window/events.h"
#include "settings_window/layout.h"

using tovrel::testing::FakeFrame;
using tovrel::testing::kFileNotValid;
using tovrel::testing::kInputNotValid;
using tovrel::testing::kLoaded;
using tovrel::testing::kSaved;
using Settings = tovrel::ProgramWindow<tovrel::settings_window::SettingsWindow>;

namespace {

QString korean(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

class TestSettingsWindow : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir folder_;
  std::optional<FakeFrame> frame_;  // made afresh for each test
  tovrel::QtWindows windows_;

  // The settings window on Qt widgets, with the fake frame's services.
  Settings settings() {
    return Settings(*frame_, windows_, tovrel::settings_window::layout,
                    tovrel::settings_window::events);
  }
  static QWidget& widget(Settings& settings) { return dynamic_cast<QWidget&>(settings.window()); }

  QLineEdit* box(QWidget& window, const char* name) {
    return window.findChild<QLineEdit*>(QString::fromLatin1(name));
  }
  QPushButton* button(QWidget& window, const char* name) {
    return window.findChild<QPushButton*>(QString::fromLatin1(name));
  }
  std::string stored_file() {
    std::ifstream file(folder_.filePath("SETUP.INI").toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }

 private slots:
  void init() {
    frame_.emplace("환경설정");
    frame_->folder = folder_.path().toStdString();
    QFile::remove(folder_.filePath("SETUP.INI"));
  }

  // Qt's dialog would open in the working folder, / when a service started the program.
  void open_dialog_starts_near_the_chosen_file_or_at_home_data() {
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("start");
    QTest::newRow("a file chosen before") << folder_.filePath("아침 노래.mp3") << folder_.path();
    QTest::newRow("the hint") << korean("찾아보기를 눌러 주세요.") << QDir::homePath();
    QTest::newRow("a folder that is gone") << "/없는 폴더/a.mp3" << QDir::homePath();
    QTest::newRow("nothing") << QString() << QDir::homePath();
  }
  void open_dialog_starts_near_the_chosen_file_or_at_home() {
    QFETCH(QString, current);
    QFETCH(QString, start);
    tovrel::QtUserInterface ui(windows_);
    QString shown_in;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      shown_in = dialog->directory().absolutePath();
      dialog->reject();
    });
    QCOMPARE(ui.choose_file_to_open(current.toStdString()), std::nullopt);
    QCOMPARE(shown_in, start);
  }

  void geometry() {
    Settings settings = this->settings();
    compare_with_layout(widget(settings), tovrel::settings_window::layout);
  }

  void frame_captions_and_initial_texts() {
    Settings settings = this->settings();
    QWidget& window = widget(settings);
    QCOMPARE(window.windowTitle(), korean("환경설정"));
    QVERIFY(!window.windowFlags().testFlag(Qt::Tool));
    QVERIFY(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(window.findChild<QLabel*>("Label1")->text(), korean("일어날 시간"));
    QCOMPARE(window.findChild<QLabel*>("Label2")->text(), korean("원하는 파일"));
    QCOMPARE(button(window, "Command1")->text(), korean("찾아보기"));
    QCOMPARE(button(window, "Command2")->text(), korean("불러오기"));
    QCOMPARE(button(window, "Command3")->text(), korean("저장하기"));
    QCOMPARE(box(window, "Text1")->text(), QString());
    QCOMPARE(box(window, "Text2")->text(), korean("찾아보기를 눌러 주세요."));
    QVERIFY(box(window, "Text2")->isReadOnly());
    QVERIFY(!box(window, "Text1")->isReadOnly());
  }

  void tab_order() {
    Settings settings = this->settings();
    QWidget& window = widget(settings);
    QWidget* widget = box(window, "Text1");
    QStringList order;
    for (int i = 0; i < 5; ++i) {
      order << widget->objectName();
      widget = widget->nextInFocusChain();
      while (widget->focusPolicy() == Qt::NoFocus) widget = widget->nextInFocusChain();
    }
    QCOMPARE(order, QStringList({"Text1", "Text2", "Command1", "Command2", "Command3"}));
  }

  void buttons_press_with_enter_and_space() {
    Settings settings = this->settings();
    QWidget& window = widget(settings);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
      QTest::keyClick(button(window, "Command3"), key);
    }
    QCOMPARE(frame_->messages, std::vector<std::string>(3, kInputNotValid));
  }

  void typing_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::newRow("7") << "7"
                       << "7";
    QTest::newRow("1 then 5") << "15"
                              << "15";
    QTest::newRow("2 then 3") << "23"
                              << "23";
    QTest::newRow("2 then 5") << "25"
                              << "";
    QTest::newRow("0 then 7") << "07"
                              << "";
    QTest::newRow("a letter") << "a"
                              << "";
    QTest::newRow("a third digit is refused") << "123"
                                              << "12";
    QTest::newRow("a space") << " "
                             << "";
  }

  void typing() {
    QFETCH(QString, keys);
    QFETCH(QString, text);
    Settings settings = this->settings();
    QWidget& window = widget(settings);
    QTest::keyClicks(box(window, "Text1"), keys);
    QCOMPARE(box(window, "Text1")->text(), text);
  }

  void caret_stays_after_a_valid_keystroke() {
    Settings settings = this->settings();
    QWidget& window = widget(settings);
    QLineEdit* hour = box(window, "Text1");
    QTest::keyClicks(hour, "2");
    QTest::keyClick(hour, Qt::Key_Home);
    QTest::keyClicks(hour, "1");
    QCOMPARE(hour->text(), "12");
    QCOMPARE(hour->cursorPosition(), 1);
  }

  void pasting_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("text");
    QTest::newRow("7") << ""
                       << "7"
                       << "7";
    QTest::newRow("07") << ""
                        << "07"
                        << "";
    QTest::newRow("space 7") << ""
                             << " 7"
                             << "";
    QTest::newRow("only what fits") << ""
                                    << "123"
                                    << "12";
    QTest::newRow("after 1, only what fits") << "1"
                                             << "56"
                                             << "15";
    QTest::newRow("a long text") << "" << korean("일곱 시") << "";
  }

  void pasting() {
    QFETCH(QString, before);
    QFETCH(QString, clipboard);
    QFETCH(QString, text);
    Settings settings = this->settings();
    QWidget& window = widget(settings);
    QLineEdit* hour = box(window, "Text1");
    QTest::keyClicks(hour, before);
    QGuiApplication::clipboard()->setText(clipboard);
    QTest::keyClick(hour, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(hour->text(), text);
  }

  void load_puts_stored_text_uncut_through_the_filter() {
    std::ofstream(folder_.filePath("SETUP.INI").toStdString(), std::ios::binary)
        << tovrel::testing::settings_file("123", "/a");
    Settings settings = this->settings();
    QWidget& window = widget(settings);
    QSignalSpy changes(box(window, "Text1"), &QLineEdit::textChanged);
    QTest::mouseClick(button(window, "Command2"), Qt::LeftButton);
    QCOMPARE(box(window, "Text1")->text(), QString());
    // The box held "123" whole before the filter emptied it (the spy sees the nested change first).
    QCOMPARE(changes.size(), 2);
    QCOMPARE(changes.at(1).at(0).toString(), "123");
    QCOMPARE(changes.at(0).at(0).toString(), QString());
    QCOMPARE(box(window, "Text2")->text(), "/a");
    QCOMPARE(frame_->messages, std::vector<std::string>{kFileNotValid});
  }

  void browse_then_save_then_load() {
    {
      Settings settings = this->settings();
      QWidget& window = widget(settings);
      QTest::keyClicks(box(window, "Text1"), "7");
      frame_->chosen_file = "/음악/아침 노래.mp3";
      QTest::mouseClick(button(window, "Command1"), Qt::LeftButton);
      QCOMPARE(box(window, "Text2")->text(), korean("/음악/아침 노래.mp3"));
      QTest::mouseClick(button(window, "Command3"), Qt::LeftButton);
    }
    QCOMPARE(frame_->messages, std::vector<std::string>{kSaved});
    QCOMPARE(stored_file(), tovrel::testing::settings_file("7", "/음악/아침 노래.mp3"));

    Settings settings = this->settings();
    QWidget& window = widget(settings);
    QTest::mouseClick(button(window, "Command2"), Qt::LeftButton);
    QCOMPARE(box(window, "Text1")->text(), "7");
    QCOMPARE(box(window, "Text2")->text(), korean("/음악/아침 노래.mp3"));
    QCOMPARE(frame_->messages.back(), kLoaded);
  }

  void save_without_browsing_stores_nothing() {
    Settings settings = this->settings();
    QWidget& window = widget(settings);
    QTest::keyClicks(box(window, "Text1"), "7");
    QTest::mouseClick(button(window, "Command3"), Qt::LeftButton);
    QCOMPARE(frame_->messages, std::vector<std::string>{kInputNotValid});
    QVERIFY(!QFile::exists(folder_.filePath("SETUP.INI")));
  }

  void browse_then_cancel_keeps_the_path() {
    Settings settings = this->settings();
    QWidget& window = widget(settings);
    frame_->chosen_file = "/first.mp3";
    QTest::mouseClick(button(window, "Command1"), Qt::LeftButton);
    frame_->chosen_file.reset();
    QTest::mouseClick(button(window, "Command1"), Qt::LeftButton);
    QCOMPARE(box(window, "Text2")->text(), "/first.mp3");
    QCOMPARE(frame_->dialogs_shown, 2);
    QVERIFY(frame_->messages.empty());
  }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settings_window.moc"
