// A window's layout as data: every window system builds its widgets from the same table.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace tovrel {

enum class ControlKind { Label, TextBox, Button };

/// A rectangle in twips (1/1440 inch), relative to the window's client area.
struct Twips {
  int left, top, width, height;
};

/// A control that no label names.
inline constexpr std::size_t kNoLabel = static_cast<std::size_t>(-1);

struct ControlLayout {
  std::size_t control;  // the control's value in its window's enum: its row in the table
  std::string_view name;
  ControlKind kind;
  Twips bounds;
  int tab_index;
  std::string_view text;  // caption or initial text
  bool centred = false;
  bool read_only = false;
  bool enabled = true;
  bool visible = true;
  int typed_length_limit = 0;  // 0: no limit; applies to typing and pasting only
  // The row of the label whose caption names this control, as a screen reader says it.
  std::size_t labelled_by = kNoLabel;
};

enum class BorderStyle {
  FixedToolWindow,  // narrow caption with a close box only, not in the taskbar
  FixedSingle,      // normal caption, close box, no minimize or maximize box
};

/// A window timer, ticking from the window's creation.
struct TimerLayout {
  std::string_view name;
  int interval_ms = 0;  // 0: the window has no timer
};

struct WindowLayout {
  std::string_view name;
  std::string_view caption;
  BorderStyle border_style;
  int client_width, client_height;  // twips
  std::span<const ControlLayout> controls;
  TimerLayout timer = {};
  // A window that opens by itself while the user works elsewhere leaves the keyboard where it is.
  bool activates_when_shown = true;
};

/// Whether every row of a layout table stands at the index of its control's enum value, and the
/// table has a row for each of the enum's count values.
template <std::size_t N>
constexpr bool rows_stand_at_their_index(const ControlLayout (&rows)[N], std::size_t count) {
  for (std::size_t i = 0; i < N; ++i) {
    if (rows[i].control != i) return false;
  }
  return N == count;
}

/// Whether every control named by a label is named by a label row of the same table.
template <std::size_t N>
constexpr bool labels_are_labels(const ControlLayout (&rows)[N]) {
  for (const ControlLayout& row : rows) {
    if (row.labelled_by == kNoLabel) continue;
    if (row.labelled_by >= N || rows[row.labelled_by].kind != ControlKind::Label) return false;
  }
  return true;
}

/// The rows of a window's controls in their tab order: the order the keyboard goes through them.
std::vector<std::size_t> rows_in_tab_order(const WindowLayout& layout);

inline constexpr int kTwipsPerInch = 1440;

/// Converts twips to pixels at the given dots per inch, rounding to the nearest pixel.
constexpr int twips_to_pixels(int twips, int dots_per_inch) {
  return (twips * dots_per_inch + kTwipsPerInch / 2) / kTwipsPerInch;
}

}  // namespace tovrel
