// SPDX-License-Identifier: Apache-2.0
// File names as the system holds them: bytes, usually but not always UTF-8.
// A name that is not valid UTF-8 is kept in a QString with each stray byte
// as a lone surrogate (U+DC80..U+DCFF), so that it goes back to the very
// bytes it came from, where Qt's own conversion would replace them.
#ifndef TOLVANE_FILE_NAMES_H
#define TOLVANE_FILE_NAMES_H

#include <QByteArray>
#include <QFile>
#include <QString>

// The name for bytes (a command-line argument): UTF-8 decoded, each byte
// that is not part of valid UTF-8 kept as U+DC00 + byte.
QString file_name_from_bytes(const QByteArray& bytes);

// The bytes of a name: the inverse of file_name_from_bytes, UTF-8 for
// everything else.
QByteArray file_name_bytes(const QString& name);

// Opens file for reading from path by its bytes; "-" is standard input.
// Returns false (errno set) when it cannot be opened.
bool open_for_reading(QFile& file, const QString& path);

#endif
