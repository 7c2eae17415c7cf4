// SPDX-License-Identifier: Apache-2.0
// std::to_chars for a double with a format and a precision, which the C++
// library of Debian's emscripten (3.1.6) lacks. The standard defines these
// conversions as printf's "%.*f", "%.*e" and "%.*g" in the C locale, whose
// implementation there rounds exactly, so they are written with it. Included
// before every source of the WebAssembly build (-include).
#ifndef TOLVANE_CHARCONV_FLOAT_H
#define TOLVANE_CHARCONV_FLOAT_H

#include <charconv>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace std {

inline to_chars_result to_chars(char* first, char* last, double value, chars_format format, int precision)
{
    // The longest text: a sign, 309 integer digits, the point and the decimals asked for.
    char text[400];
    const char* pattern = format == chars_format::fixed        ? "%.*f"
                          : format == chars_format::scientific ? "%.*e"
                                                               : "%.*g";
    const int length =
        precision >= 0 && precision <= 60 ? std::snprintf(text, sizeof text, pattern, precision, value) : -1;
    if (length < 0 || length > last - first) return {last, errc::value_too_large};
    std::memcpy(first, text, static_cast<size_t>(length));
    return {first + length, errc{}};
}

}  // namespace std

#endif
