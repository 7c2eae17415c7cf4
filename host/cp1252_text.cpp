// SPDX-License-Identifier: Apache-2.0
#include "cp1252_text.h"

namespace {

// Code points of bytes 0x80..0x9F; 0xFFFD where code page 1252 has no character.
constexpr char16_t high_controls[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

void append_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        // Every code point of code page 1252 lies below U+10000.
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

char32_t cp1252_code_point(unsigned char byte)
{
    return (byte >= 0x80 && byte <= 0x9F) ? high_controls[byte - 0x80] : char32_t{byte};
}

std::string utf8_from_cp1252(const char* text, std::size_t length)
{
    std::string out;
    if (text == nullptr) return out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i)
        append_utf8(out, cp1252_code_point(static_cast<unsigned char>(text[i])));
    return out;
}
