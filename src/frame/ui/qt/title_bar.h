// The caption bar a window draws itself where no one else draws one for it: on Wayland, where
// Qt's own drawing leaves the narrow alarm window no room for its caption.
#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

namespace tovrel {

/// The window's caption, whole, and a close box; dragging the bar moves the window.
class TitleBar final : public QWidget {
 public:
  TitleBar(const QString& caption, QWidget& window);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* caption_;
  QToolButton* close_;
};

}  // namespace tovrel
