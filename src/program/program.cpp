#include "program/program.h"

#include <memory>

#include "alarm_window/form1_events.h"
#include "alarm_window/form1_layout.h"
#include "frame/form_window.h"
#include "settings_window/form2_events.h"
#include "settings_window/form2_layout.h"

namespace tovrel {
namespace {

template <class Form>
std::unique_ptr<EventSink> open_window(Frame& frame, WindowSystem& windows,
                                       const WindowLayout& layout,
                                       std::span<const EventHandler<Form>> handlers) {
  auto window = std::make_unique<FormWindow<Form>>(frame, windows, layout, handlers);
  window->open();
  return window;
}

}  // namespace

int run_program(const Executable& executable, Frame& frame, WindowSystem& windows) {
  std::unique_ptr<EventSink> startup_window;
  frame.dispatch([&] {
    switch (executable.startup_window) {
      case StartupWindow::Alarm:
        startup_window = open_window<Form1>(frame, windows, form1::layout, form1::events);
        break;
      case StartupWindow::Settings:
        startup_window = open_window<Form2>(frame, windows, form2::layout, form2::events);
        break;
    }
  });
  return windows.run_event_loop();
}

}  // namespace tovrel
