// A window's layout as data: every window system builds its widgets from the same table.
#pragma once

#include <span>
#include <string_view>

namespace tovrel {

enum class ControlKind { Label, TextBox, Button };

struct ControlLayout {
  std::string_view name;
  ControlKind kind;
  int left, top, width, height;  // twips, relative to the client area
  int tab_index;
  std::string_view text;  // caption or initial text
  bool centred = false;
  bool read_only = false;
  bool enabled = true;
  bool visible = true;
  int typed_length_limit = 0;  // 0: no limit; applies to typing and pasting only
};

enum class FrameStyle {
  FixedToolWindow,  // narrow caption with a close box only, not in the taskbar
  FixedSingle,      // normal caption, close box, no minimize or maximize box
};

struct WindowLayout {
  std::string_view name;
  std::string_view caption;
  FrameStyle frame_style;
  int client_width, client_height;  // twips
  std::span<const ControlLayout> controls;
  int timer_interval_ms = 0;  // 0: the window has no timer
};

inline constexpr int kTwipsPerInch = 1440;

/// Converts twips to pixels at the given dots per inch, rounding to the nearest pixel.
constexpr int twips_to_pixels(int twips, int dots_per_inch) {
  return (twips * dots_per_inch + kTwipsPerInch / 2) / kTwipsPerInch;
}

}  // namespace tovrel
