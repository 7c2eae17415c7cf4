// SPDX-License-Identifier: Apache-2.0
// Pictures compiled into the program as JPEG bytes (decode with decode_jpeg).
#ifndef TOLVANE_EMBEDDED_PICTURES_H
#define TOLVANE_EMBEDDED_PICTURES_H

#include <cstddef>

#include <QByteArray>

// The main window's logo, 350 x 190 (assets/logo.jpg).
extern const unsigned char logo_jpeg[];
extern const std::size_t logo_jpeg_size;

// The about window's picture, 200 x 108 (assets/about.jpg).
extern const unsigned char about_jpeg[];
extern const std::size_t about_jpeg_size;

// The bytes of an embedded picture without a copy; valid for the process.
inline QByteArray embedded_bytes(const unsigned char* data, std::size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

#endif
