// Functions a program looks up at run time: those a system may lack, and those of a library it
// loads only when needed.
#pragma once

#ifndef _WIN32
#error "Win32 code: only the Windows build includes this header"
#endif

#include <windows.h>

namespace tovrel::win32 {

/// Sets `function` to the library's function of that name, or to null where it has none.
template <typename Function>
void look_up(HMODULE library, Function*& function, const char* name) {
  const FARPROC found = library != nullptr ? ::GetProcAddress(library, name) : nullptr;
  function = reinterpret_cast<Function*>(reinterpret_cast<void*>(found));
}

}  // namespace tovrel::win32
