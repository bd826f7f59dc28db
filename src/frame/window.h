// What a window system makes of a layout table, and where it delivers the window's events.
#pragma once

#include <cstddef>
#include <memory>

#include "frame/controls.h"
#include "frame/events.h"
#include "frame/layout.h"

namespace tovrel {

/// Receives a window's events, mapped by the window system from its native ones.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void raise(Event event, std::size_t source) = 0;
};

/// A window made from its layout: its controls, addressed by their rows.
class Window : public Controls {
 public:
  /// From now on the window's events go to the sink: its timer starts ticking, and typing,
  /// clicks and closing raise their events.
  virtual void deliver_events_to(EventSink& events) = 0;

  /// Shows the window.
  virtual void show() = 0;
};

/// Makes windows and runs their events, one window system's way.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  /// Makes a window with all its controls, not yet shown and not yet delivering events.
  virtual std::unique_ptr<Window> create_window(const WindowLayout& layout) = 0;

  /// Delivers events until no window is open; returns the program's exit status.
  virtual int run_event_loop() = 0;
};

}  // namespace tovrel
