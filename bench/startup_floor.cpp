// The least Qt Widgets allows for the alarm's window, which bench/startup measures the alarm
// against: a tool window of the same size, with the same labels, line edits and texts, that starts
// xdg-open once its window is made and before it shows, and ends three seconds later.
//   startup_floor [--latin] [FILE]
#include <spawn.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <cstring>

extern char** environ;

namespace {

void start_xdg_open(const char* file) {
  char program[] = "xdg-open";
  char* argv[] = {program, const_cast<char*>(file), nullptr};
  pid_t pid = 0;
  posix_spawnp(&pid, program, nullptr, nullptr, argv, environ);
}

const char* const kCaptions[] = {"현재 시간", "남은 시간", "Tovrel 실행"};
const char* const kValues[] = {"오전 7시 30분 0초", "Tovrel 시간 입니다.", "실행"};
const char* const kLatinCaptions[] = {"Time now", "Hours left", "Tovrel run"};
const char* const kLatinValues[] = {"7:30:00 AM", "It is Tovrel time.", "Run"};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);

  QWidget window(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint);
  window.setWindowTitle(QString::fromUtf8("Tovrel프로그램"));
  window.setFixedSize(199, 82);
  // --latin: the texts in Latin letters, to tell what drawing Hangul costs.
  const bool latin = argc > 1 && std::strcmp(argv[1], "--latin") == 0;
  const char* const* captions = latin ? kLatinCaptions : kCaptions;
  const char* const* values = latin ? kLatinValues : kValues;
  for (int row = 0; row < 3; ++row) {
    auto* label = new QLabel(QString::fromUtf8(captions[row]), &window);
    label->setGeometry(8, 8 + 24 * row, 57, 17);
    auto* box = new QLineEdit(QString::fromUtf8(values[row]), &window);
    box->setGeometry(72, 8 + 24 * row, 121, 18);
    box->setAlignment(Qt::AlignCenter);
    box->setReadOnly(true);
    box->setEnabled(false);
  }
  for (int row = 0; row < 2; ++row) (new QLineEdit(&window))->hide();

  // Where the alarm's start-up check opens the file: its window made, not yet shown.
  if (argc > (latin ? 2 : 1)) start_xdg_open(argv[argc - 1]);

  window.show();
  QTimer::singleShot(3000, &application, &QApplication::quit);
  return application.exec();
}
