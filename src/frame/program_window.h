// A window of the program: the window system's window of its layout, and its handlers, run for its
// events as its event table says.
#pragma once

#include <memory>
#include <span>

#include "frame/frame.h"
#include "frame/window.h"

namespace tovrel {

/// Runs the handlers for the window's events as the event table says, one event at a time
/// through the frame.
template <class Handlers>
class ProgramWindow final : public EventSink {
 public:
  ProgramWindow(Frame& frame, WindowSystem& windows, const WindowLayout& layout,
                std::span<const EventHandler<Handlers>> events)
      : frame_(frame),
        events_(events),
        window_(windows.create_window(layout)),
        handlers_(frame, *window_) {
    window_->deliver_events_to(*this);
  }
  ProgramWindow(const ProgramWindow&) = delete;  // the window delivers its events to this object
  ProgramWindow& operator=(const ProgramWindow&) = delete;

  /// Runs the load handler, then shows the window; a load handler that ends the program leaves
  /// the window unseen.
  void open() {
    raise(Event::Load, kWindow);
    window_->show();
  }

  void raise(Event event, std::size_t source) override {
    for (const EventHandler<Handlers>& row : events_) {
      if (row.event == event && row.source == source) {
        frame_.dispatch([this, &row] { (handlers_.*row.handler)(); });
      }
    }
  }

  Window& window() { return *window_; }

 private:
  Frame& frame_;
  std::span<const EventHandler<Handlers>> events_;
  std::unique_ptr<Window> window_;
  Handlers handlers_;
};

}  // namespace tovrel
