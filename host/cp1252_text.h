// SPDX-License-Identifier: Apache-2.0
// The model library's texts are 8-bit code page 1252. Latin-1 is wrong for
// 0x80..0x9F (the typographic quotes of the tissue N2 names live there), so
// every text of the library is decoded through this one table.
#ifndef TOLVANE_CP1252_TEXT_H
#define TOLVANE_CP1252_TEXT_H

#include <cstddef>
#include <string>

// Returns the Unicode code point of one code page 1252 byte; the five bytes
// that 1252 leaves undefined give U+FFFD.
char32_t cp1252_code_point(unsigned char byte);

// Returns the UTF-8 text of exactly length code page 1252 bytes.
std::string utf8_from_cp1252(const char* text, std::size_t length);

#endif
