// The font of a window's controls: the user's message font, made smaller where a caption or an
// initial text would not fit its control in it.
#pragma once

#ifndef _WIN32
#error "Win32 code: only the Windows build includes this header"
#endif

#include <windows.h>

#include <vector>

#include "frame/layout.h"

namespace tovrel::win32 {

/// The width a control leaves for its text: a label all of it, an edit control what its margins
/// leave (they follow its font), a push button what its raised edge and the focus rectangle
/// inside it leave (the same at every DPI).
int room_for_text(HWND control, ControlKind kind);

/// Gives the controls, already sized, the largest font no larger than `font` in which every
/// caption and initial text of the layout fits the room its control leaves for text. Returns the
/// font, which the caller deletes once no control uses it.
HFONT fit_font(LOGFONTW font, const WindowLayout& layout, const std::vector<HWND>& controls);

}  // namespace tovrel::win32
