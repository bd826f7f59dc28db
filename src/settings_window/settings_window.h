// The settings window's handlers: the hour filter, closing, and the Browse, Load and Save buttons.
#pragma once

#include <string>

#include "frame/controls.h"
#include "frame/frame.h"

namespace tovrel::settings_window {

class SettingsWindow {
 public:
  SettingsWindow(Frame& frame, Controls& controls);

  /// After every change of the hour box, typed, pasted or set by the program: empties the box
  /// unless it holds an hour from "0" to "23".
  void text1_change();

  /// Browse: the chosen file's full path goes into the path box; Cancel changes nothing.
  void command1_click();

  /// Load: fills both boxes from the settings file and says whether both were there.
  void command2_click();

  /// Save: writes both boxes into the settings file, or says why it could not.
  void command3_click();

  /// The window closes, for whatever reason: starts the alarm and ends the program.
  void query_unload();

 private:
  void save();

  Frame& frame_;
  Controls& controls_;
};

}  // namespace tovrel::settings_window
