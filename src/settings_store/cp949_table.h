// The platform's knowledge of code page 949, a two-byte character at a time.
#pragma once

namespace tovrel {

/// The character that a lead byte and a trail byte stand for, or 0 when the platform's code page
/// 949 has none.
char32_t decode_cp949_pair(unsigned char lead, unsigned char trail);

}  // namespace tovrel
