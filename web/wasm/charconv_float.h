// SPDX-License-Identifier: Apache-2.0
// std::to_chars for a double, which the C++ library of Debian's emscripten
// (3.1.6) lacks. The standard defines the conversions with a precision as
// printf's "%.*f", "%.*e" and "%.*g" in the C locale, whose implementation
// there rounds exactly, so they are written with it; the shortest form is
// the fewest digits that read back as the value, written plainly or with an
// exponent, whichever is shorter (plainly on a tie; a whole number plainly
// with its exact digits). Included before every
// source of the WebAssembly build (-include).
#ifndef TOLVANE_CHARCONV_FLOAT_H
#define TOLVANE_CHARCONV_FLOAT_H

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
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

inline to_chars_result to_chars(char* first, char* last, double value)
{
    std::string text;
    if (std::isnan(value)) {
        text = std::signbit(value) ? "-nan" : "nan";
    } else if (std::isinf(value)) {
        text = value < 0 ? "-inf" : "inf";
    } else {
        // The fewest significant digits that read back as value: "d.ddde+XX".
        char scientific[40];
        for (int precision = 0; precision <= 17; ++precision) {
            std::snprintf(scientific, sizeof scientific, "%.*e", precision, value);
            if (std::strtod(scientific, nullptr) == value) break;
        }
        const char* e = std::strchr(scientific, 'e');
        const int exponent = std::atoi(e + 1);
        const std::string sign = scientific[0] == '-' ? "-" : "";
        std::string digits;
        for (const char* c = scientific + sign.size(); c < e; ++c)
            if (*c != '.') digits += *c;
        const int count = static_cast<int>(digits.size());
        std::string plain;
        if (exponent >= count - 1) {
            // A whole number: its exact digits are as short as the zeros and closer.
            char whole[400];
            std::snprintf(whole, sizeof whole, "%.0f", std::fabs(value));
            plain = whole;
        } else if (exponent >= 0) {
            plain = digits.substr(0, static_cast<size_t>(exponent) + 1) + "." +
                    digits.substr(static_cast<size_t>(exponent) + 1);
        } else {
            plain = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
        }
        std::string exponential = digits.substr(0, 1);
        if (count > 1) exponential += "." + digits.substr(1);
        char power[8];
        std::snprintf(power, sizeof power, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        exponential += power;
        text = sign + (plain.size() <= exponential.size() ? plain : exponential);
    }
    if (static_cast<ptrdiff_t>(text.size()) > last - first) return {last, errc::value_too_large};
    std::memcpy(first, text.data(), text.size());
    return {first + text.size(), errc{}};
}

}  // namespace std

#endif
