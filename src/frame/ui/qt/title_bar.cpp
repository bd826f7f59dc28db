#include "frame/ui/qt/title_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

namespace tovrel {

TitleBar::TitleBar(const QString& caption, QWidget& window)
    : QWidget(&window), caption_(new QLabel(caption, this)), close_(new QToolButton(this)) {
  setObjectName(QStringLiteral("TitleBar"));
  caption_->setObjectName(QStringLiteral("Caption"));
  caption_->setTextFormat(Qt::PlainText);
  QFont bold = caption_->font();
  bold.setBold(true);
  caption_->setFont(bold);
  close_->setObjectName(QStringLiteral("CloseBox"));
  close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  close_->setAutoRaise(true);
  close_->setFocusPolicy(Qt::NoFocus);
  close_->setAccessibleName(QStringLiteral("닫기"));
  connect(close_, &QToolButton::clicked, &window, &QWidget::close);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(6, 1, 1, 1);
  row->setSpacing(4);
  row->addWidget(caption_, 1);
  row->addWidget(close_);
  setFixedHeight(sizeHint().height());
}

void TitleBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && window()->windowHandle()) {
    window()->windowHandle()->startSystemMove();
  }
}

void TitleBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Midlight));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(rect().bottomLeft(), rect().bottomRight());
}

}  // namespace tovrel
