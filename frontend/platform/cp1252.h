// SPDX-License-Identifier: Apache-2.0
// The model library's names and units as Qt texts: every name and unit
// reaches windows, report and CSV through this decoder, which reads the
// code page 1252 table of cp1252_text.h.
#ifndef TOLVANE_CP1252_H
#define TOLVANE_CP1252_H

#include <QString>

// Returns the text of a NUL-terminated code page 1252 string; null gives an
// empty text, the five bytes that 1252 leaves undefined map to U+FFFD.
QString from_cp1252(const char* text);

// As above for exactly length bytes (NUL bytes included as U+0000).
QString from_cp1252(const char* text, qsizetype length);

#endif
