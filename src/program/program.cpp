#include "program/program.h"

#include <memory>

#include "alarm_window/events.h"
#include "alarm_window/layout.h"
#include "frame/program_window.h"
#include "settings_window/events.h"
#include "settings_window/layout.h"

namespace tovrel {
namespace {

template <class Handlers>
std::unique_ptr<EventSink> open_window(Frame& frame, WindowSystem& windows,
                                       const WindowLayout& layout,
                                       std::span<const EventHandler<Handlers>> events) {
  auto window = std::make_unique<ProgramWindow<Handlers>>(frame, windows, layout, events);
  window->open();
  return window;
}

}  // namespace

int run_program(const Executable& executable, Frame& frame, WindowSystem& windows) {
  std::unique_ptr<EventSink> startup_window;
  frame.dispatch([&] {
    switch (executable.startup_window) {
      case StartupWindow::Alarm:
        startup_window = open_window<alarm_window::AlarmWindow>(
            frame, windows, alarm_window::layout, alarm_window::events);
        break;
      case StartupWindow::Settings:
        startup_window = open_window<settings_window::SettingsWindow>(
            frame, windows, settings_window::layout, settings_window::events);
        break;
    }
  });
  return windows.run_event_loop();
}

}  // namespace tovrel
