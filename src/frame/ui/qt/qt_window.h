// A window on Qt Widgets, built from its layout table, and the window system that makes them.
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

#include "frame/window.h"

class QTimer;

namespace tovrel {

class QtWindow final : public QWidget, public Window {
 public:
  /// Builds the controls and gives the window its caption, frame, fixed client size and place in
  /// the middle of the screen. With its own title bar, the window draws its caption and close box
  /// above the client area and a line around both.
  QtWindow(const WindowLayout& layout, bool own_title_bar);

  std::string text(std::size_t control) const override;
  void set_text(std::size_t control, const std::string& text) override;
  void deliver_events_to(EventSink& events) override;
  void show() override { QWidget::show(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  /// Places the window, its frame included, in the middle of its screen's available area.
  void centre_on_screen();

  std::vector<QWidget*> controls_;
  QTimer* timer_ = nullptr;
  EventSink* events_ = nullptr;
  bool centred_with_frame_ = false;
};

class QtWindows final : public WindowSystem {
 public:
  std::unique_ptr<Window> create_window(const WindowLayout& layout) override;
  int run_event_loop() override;

  /// The window made last, which owns message boxes and dialogs; null once it is gone.
  QWidget* dialog_owner() const { return last_; }

 private:
  QPointer<QWidget> last_;
};

}  // namespace tovrel
