// The model library's texts are 8-bit code page 1252. Latin-1 is wrong for
// 0x80..0x9F (the typographic quotes of the tissue N2 names live there), so
// every name and unit reaches windows, report and CSV through this decoder.
#ifndef TOLVANE_CP1252_H
#define TOLVANE_CP1252_H

#include <QString>

// Returns the text of a NUL-terminated code page 1252 string; null gives an
// empty text, the five bytes that 1252 leaves undefined map to U+FFFD.
QString from_cp1252(const char* text);

// As above for exactly length bytes (NUL bytes included as U+0000).
QString from_cp1252(const char* text, qsizetype length);

#endif
