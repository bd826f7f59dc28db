// UTF-8 inside the program, UTF-16 at the Windows API: the one place where they meet.
#pragma once

#ifndef _WIN32
#error "Win32 code: only the Windows build includes this header"
#endif

#include <string>
#include <string_view>

namespace tovrel::win32 {

/// UTF-8 to UTF-16; a byte that is not UTF-8 becomes U+FFFD.
std::wstring to_wide(std::string_view utf8);

/// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string from_wide(std::wstring_view wide);

}  // namespace tovrel::win32
