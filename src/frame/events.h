// A window's events as data: which of its handlers runs for which event of which control.
#pragma once

#include <cstddef>

#include "frame/layout.h"

namespace tovrel {

enum class Event {
  Load,    // the window is made and not yet shown
  Tick,    // its timer
  Change,  // a text box's text changed, typed, pasted or set by the program
  Click,   // a button
  Close,   // the window is about to close, for any reason
};

/// The source of the window's own events (load, tick, close), where a control's row stands
/// for a control's.
inline constexpr std::size_t kWindow = static_cast<std::size_t>(-1);

template <class Handlers>
struct EventHandler {
  Event event;
  std::size_t source;  // kWindow or a control's row in the layout table
  void (Handlers::*handler)();
};

/// Whether the window can raise every event of its table: its own events (load, close, the
/// timer's tick where it has a timer) from the window, a change from a text box, a click from a
/// button.
template <class Handlers, std::size_t N>
constexpr bool events_fit_window(const EventHandler<Handlers> (&rows)[N],
                                 const WindowLayout& layout) {
  for (const EventHandler<Handlers>& row : rows) {
    if (row.source == kWindow) {
      const bool own = row.event == Event::Load || row.event == Event::Close ||
                       (row.event == Event::Tick && layout.timer.interval_ms > 0);
      if (!own) return false;
      continue;
    }
    if (row.source >= layout.controls.size()) return false;
    const ControlKind kind = layout.controls[row.source].kind;
    const bool raised = (row.event == Event::Change && kind == ControlKind::TextBox) ||
                        (row.event == Event::Click && kind == ControlKind::Button);
    if (!raised) return false;
  }
  return true;
}

}  // namespace tovrel
