// A window's events as data: which of its form's handlers runs for which event of which control.
#pragma once

#include <cstddef>

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

template <class Form>
struct EventHandler {
  Event event;
  std::size_t source;  // kWindow or a control's row in the layout table
  void (Form::*handler)();
};

}  // namespace tovrel
