// A window of the program: its controls, made by a window system, and its form's handlers.
#pragma once

#include <memory>
#include <span>

#include "frame/frame.h"
#include "frame/window.h"

namespace tovrel {

/// Runs the form's handlers for the window's events as the form's event table says, one event
/// at a time through the frame.
template <class Form>
class FormWindow final : public EventSink {
 public:
  FormWindow(Frame& frame, WindowSystem& windows, const WindowLayout& layout,
             std::span<const EventHandler<Form>> handlers)
      : frame_(frame),
        handlers_(handlers),
        window_(windows.create_window(layout)),
        form_(frame, *window_) {
    window_->deliver_events_to(*this);
  }
  FormWindow(const FormWindow&) = delete;  // the window delivers its events to this very object
  FormWindow& operator=(const FormWindow&) = delete;

  /// Runs the load handler, then shows the window; a load handler that ends the program leaves
  /// the window unseen.
  void open() {
    raise(Event::Load, kWindow);
    window_->show();
  }

  void raise(Event event, std::size_t source) override {
    for (const EventHandler<Form>& row : handlers_) {
      if (row.event == event && row.source == source) {
        frame_.dispatch([this, &row] { (form_.*row.handler)(); });
      }
    }
  }

  Window& window() { return *window_; }

 private:
  Frame& frame_;
  std::span<const EventHandler<Form>> handlers_;
  std::unique_ptr<Window> window_;
  Form form_;
};

}  // namespace tovrel
