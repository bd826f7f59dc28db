#include "frame/qt/form_widgets.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QValidator>
#include <algorithm>

#include "frame/qt/qt_text.h"

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

QWidget* make_widget(const ControlLayout& control, QWidget& window) {
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
    case ControlKind::Button:
      return new QPushButton(to_qt(control.text), &window);
  }
  return nullptr;
}

Qt::WindowFlags flags_for(FrameStyle style) {
  const Qt::WindowFlags fixed =
      Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  return style == FrameStyle::FixedToolWindow ? Qt::Tool | fixed
                                              : Qt::Window | Qt::WindowSystemMenuHint | fixed;
}

}  // namespace

FormWidgets::FormWidgets(QWidget& window, const WindowLayout& layout) {
  const int dpi = window.logicalDpiX();
  const auto pixels = [dpi](int twips) { return twips_to_pixels(twips, dpi); };

  window.setObjectName(to_qt(layout.name));
  window.setWindowTitle(to_qt(layout.caption));
  window.setWindowFlags(flags_for(layout.frame_style));
  window.setFixedSize(pixels(layout.client_width), pixels(layout.client_height));

  for (const ControlLayout& control : layout.controls) {
    QWidget* widget = make_widget(control, window);
    widget->setObjectName(to_qt(control.name));
    widget->setAccessibleName(to_qt(control.name));
    widget->setGeometry(pixels(control.left), pixels(control.top), pixels(control.width),
                        pixels(control.height));
    widget->setEnabled(control.enabled);
    widget->setVisible(control.visible);
    widgets_.push_back(widget);
  }

  std::vector<std::size_t> tab_order(layout.controls.size());
  for (std::size_t i = 0; i < tab_order.size(); ++i) tab_order[i] = i;
  std::sort(tab_order.begin(), tab_order.end(), [&](std::size_t a, std::size_t b) {
    return layout.controls[a].tab_index < layout.controls[b].tab_index;
  });
  for (std::size_t i = 1; i < tab_order.size(); ++i) {
    QWidget::setTabOrder(widgets_[tab_order[i - 1]], widgets_[tab_order[i]]);
  }

  const QRect screen =
      (window.screen() ? window.screen() : QGuiApplication::primaryScreen())->availableGeometry();
  window.move(screen.center() - QPoint(window.width() / 2, window.height() / 2));
}

std::string FormWidgets::text(std::size_t control) const {
  const QWidget* widget = widgets_.at(control);
  if (const auto* box = qobject_cast<const QLineEdit*>(widget)) return box->text().toStdString();
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text().toStdString();
  return qobject_cast<const QPushButton*>(widget)->text().toStdString();
}

void FormWidgets::set_text(std::size_t control, const std::string& text) {
  QWidget* widget = widgets_.at(control);
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

QLineEdit* FormWidgets::text_box(std::size_t control) const {
  return qobject_cast<QLineEdit*>(widgets_.at(control));
}

QPushButton* FormWidgets::button(std::size_t control) const {
  return qobject_cast<QPushButton*>(widgets_.at(control));
}

}  // namespace tovrel
