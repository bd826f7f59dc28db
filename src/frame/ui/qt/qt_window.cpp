#include "frame/ui/qt/qt_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMoveEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSocketNotifier>
#include <QTimer>
#include <QValidator>
#include <algorithm>

#include "frame/os/posix/termination.h"
#include "frame/ui/qt/qt_text.h"
#include "frame/ui/qt/title_bar.h"

namespace tovrel {
namespace {

// Keeps what is typed or pasted within a length, as a length-limited edit control does: of the
// inserted text only what fits stays.
class TypedLengthLimit final : public QValidator {
 public:
  TypedLengthLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

  State validate(QString& input, int& position) const override {
    const int excess = static_cast<int>(input.size()) - limit_;
    if (excess > 0) {
      // The inserted text lies just before the cursor.
      const int removed = std::min(excess, position);
      input.remove(position - removed, removed);
      position -= removed;
      if (input.size() > limit_) input.truncate(limit_);
    }
    return Acceptable;
  }

 private:
  int limit_;
};

// x^2.4 for x in (0, 1], without the maths library, whose first pow() would page in a quarter of
// a megabyte of it at start: the y with y^5 = x^12, by Newton's method from x^2, which is above it.
double to_the_power_2_4(double x) {
  const double x4 = x * x * x * x, x12 = x4 * x4 * x4;
  double y = x * x;
  for (int step = 0; step < 40; ++step) y -= (y * y * y * y * y - x12) / (5 * y * y * y * y);
  return y;
}

// The WCAG's relative luminance of a colour and the contrast ratio of two.
double luminance(const QColor& colour) {
  const auto linear = [](double c) {
    return c <= 0.03928 ? c / 12.92 : to_the_power_2_4((c + 0.055) / 1.055);
  };
  return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
         0.0722 * linear(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
  const double first = luminance(a), second = luminance(b);
  return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// A disabled box's text greyed as the style greys it, but no fainter than the contrast of 4.5:1
// with its background that text needs to be read: moved toward the normal text colour as far as
// that takes. Set on the window, whose controls take it.
void keep_disabled_text_readable(QWidget& window) {
  constexpr double kReadable = 4.5;
  QPalette palette = window.palette();
  const QColor background = palette.color(QPalette::Disabled, QPalette::Base);
  const QColor greyed = palette.color(QPalette::Disabled, QPalette::Text);
  const QColor normal = palette.color(QPalette::Active, QPalette::Text);
  QColor text = greyed;
  for (int step = 1; step <= 20 && contrast(text, background) < kReadable; ++step) {
    const double toward_normal = step / 20.0;
    const auto mixed = [&](double from, double to) { return from + (to - from) * toward_normal; };
    text.setRgbF(static_cast<float>(mixed(greyed.redF(), normal.redF())),
                 static_cast<float>(mixed(greyed.greenF(), normal.greenF())),
                 static_cast<float>(mixed(greyed.blueF(), normal.blueF())));
  }
  palette.setColor(QPalette::Disabled, QPalette::Text, text);
  window.setPalette(palette);
}

QWidget* make_control(const ControlLayout& control, QWidget& window) {
  switch (control.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(to_qt(control.text), &window);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::TextBox: {
      auto* box = new QLineEdit(to_qt(control.text), &window);
      if (control.centred) box->setAlignment(Qt::AlignCenter);
      box->setReadOnly(control.read_only);
      if (control.typed_length_limit > 0) {
        box->setValidator(new TypedLengthLimit(control.typed_length_limit, box));
      }
      return box;
    }
    case ControlKind::Button: {
      auto* button = new QPushButton(to_qt(control.text), &window);
      // Enter presses the button that has the focus, as Space does; outside a dialog Qt leaves
      // Enter to buttons that are auto-default.
      button->setAutoDefault(true);
      return button;
    }
  }
  return nullptr;
}

// A window that draws its own title bar asks for no frame at all: Qt drops the frameless hint
// from flags that also ask for a caption.
Qt::WindowFlags flags_for(BorderStyle style, bool own_title_bar) {
  const Qt::WindowFlags type = style == BorderStyle::FixedToolWindow ? Qt::Tool : Qt::Window;
  if (own_title_bar) return type | Qt::FramelessWindowHint;
  const Qt::WindowFlags fixed =
      Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  return type | fixed | (style == BorderStyle::FixedSingle ? Qt::WindowSystemMenuHint : Qt::Widget);
}

// Where windows get no frame from the window system (Wayland, unless the compositor draws one):
// Qt's own leaves the alarm's narrow window too little room for its caption.
bool needs_own_title_bar() { return QGuiApplication::platformName().startsWith(u"wayland"); }

}  // namespace

QtWindow::QtWindow(const WindowLayout& layout, bool own_title_bar) {
  const int dpi = logicalDpiX();
  const auto pixels = [dpi](int twips) { return twips_to_pixels(twips, dpi); };
  const QSize client_size(pixels(layout.client_width), pixels(layout.client_height));

  setObjectName(to_qt(layout.name));
  setWindowTitle(to_qt(layout.caption));
  setWindowFlags(flags_for(layout.border_style, own_title_bar));
  setAttribute(Qt::WA_ShowWithoutActivating, !layout.activates_when_shown);

  // The controls' parent: the window itself, or the client area below its own title bar, inside
  // a line around it all.
  QWidget* client = this;
  if (own_title_bar) {
    auto* title_bar = new TitleBar(windowTitle(), *this);
    title_bar->setGeometry(1, 1, client_size.width(), title_bar->height());
    client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setGeometry(QRect(QPoint(1, title_bar->geometry().bottom() + 1), client_size));
    setFixedSize(client->geometry().bottomRight().x() + 2, client->geometry().bottom() + 2);
  } else {
    setFixedSize(client_size);
  }

  for (const ControlLayout& control : layout.controls) {
    QWidget* widget = make_control(control, *client);
    widget->setObjectName(to_qt(control.name));
    const Twips& bounds = control.bounds;
    widget->setGeometry(pixels(bounds.left), pixels(bounds.top), pixels(bounds.width),
                        pixels(bounds.height));
    widget->setEnabled(control.enabled);
    widget->setVisible(control.visible);
    controls_.push_back(widget);
  }

  // A screen reader names a box by its label's caption; labels and buttons are their captions.
  for (std::size_t row = 0; row < controls_.size(); ++row) {
    const std::size_t label = layout.controls[row].labelled_by;
    if (label == kNoLabel) continue;
    controls_[row]->setAccessibleName(to_qt(layout.controls[label].text));
    qobject_cast<QLabel*>(controls_[label])->setBuddy(controls_[row]);
  }

  const std::vector<std::size_t> tab_order = rows_in_tab_order(layout);
  for (std::size_t i = 1; i < tab_order.size(); ++i) {
    QWidget::setTabOrder(controls_[tab_order[i - 1]], controls_[tab_order[i]]);
  }

  if (layout.timer.interval_ms > 0) {
    timer_ = new QTimer(this);
    timer_->setObjectName(to_qt(layout.timer.name));
    timer_->setInterval(layout.timer.interval_ms);
  }

  centre_on_screen();
}

void QtWindow::centre_on_screen() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  move(screen->availableGeometry().center() - QRect(QPoint(), frameGeometry().size()).center());
}

std::string QtWindow::text(std::size_t control) const {
  const QWidget* widget = controls_.at(control);
  if (const auto* box = qobject_cast<const QLineEdit*>(widget)) return box->text().toStdString();
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text().toStdString();
  return qobject_cast<const QPushButton*>(widget)->text().toStdString();
}

void QtWindow::set_text(std::size_t control, const std::string& text) {
  QWidget* widget = controls_.at(control);
  if (auto* box = qobject_cast<QLineEdit*>(widget)) {
    // QLineEdit applies what a validator changes even to setText: the length limit is only for
    // what the user types or pastes, so it stays out of the way here.
    const QValidator* limit = box->validator();
    box->setValidator(nullptr);
    box->setText(to_qt(text));
    box->setValidator(limit);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(to_qt(text));
  } else {
    qobject_cast<QPushButton*>(widget)->setText(to_qt(text));
  }
}

void QtWindow::deliver_events_to(EventSink& events) {
  events_ = &events;
  for (std::size_t row = 0; row < controls_.size(); ++row) {
    const auto raise = [&events, row](Event event) {
      return [&events, row, event] { events.raise(event, row); };
    };
    if (auto* box = qobject_cast<QLineEdit*>(controls_[row])) {
      connect(box, &QLineEdit::textChanged, this, raise(Event::Change));
    } else if (auto* button = qobject_cast<QPushButton*>(controls_[row])) {
      connect(button, &QPushButton::clicked, this, raise(Event::Click));
    }
  }
  if (timer_) {
    connect(timer_, &QTimer::timeout, this, [&events] { events.raise(Event::Tick, kWindow); });
    timer_->start();
  }
  // The end of the desktop session, or the system asking the program to end, closes the window
  // like any other way of closing it.
  connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &QWidget::close);
  if (const int requests = posix::termination_requests(); requests >= 0) {
    auto* notifier = new QSocketNotifier(requests, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
      posix::take_termination_request();
      close();
    });
  }
}

void QtWindow::showEvent(QShowEvent* event) {
  // The style's palette is settled once the window is polished, as it shows.
  if (!event->spontaneous()) keep_disabled_text_readable(*this);
  QWidget::showEvent(event);
}

void QtWindow::moveEvent(QMoveEvent* event) {
  // Until the window manager has framed the window its frame is unknown, and the window is placed
  // as if it had none; once framed, the frame as a whole goes in the middle, this once. While the
  // window manager reparents it, Qt can report a frame smaller than the window: not yet.
  const QRect frame = frameGeometry();
  if (!centred_with_frame_ && frame != geometry() && frame.contains(geometry())) {
    centred_with_frame_ = true;
    centre_on_screen();
  }
  QWidget::moveEvent(event);
}

void QtWindow::closeEvent(QCloseEvent* event) {
  if (events_) events_->raise(Event::Close, kWindow);
  event->accept();
}

void QtWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (!(windowFlags() & Qt::FramelessWindowHint)) return;
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

std::unique_ptr<Window> QtWindows::create_window(const WindowLayout& layout) {
  auto window = std::make_unique<QtWindow>(layout, needs_own_title_bar());
  last_ = window.get();
  return window;
}

int QtWindows::run_event_loop() { return QApplication::exec(); }

}  // namespace tovrel
