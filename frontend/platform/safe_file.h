// The safe file writer (file_writer.h) for Qt paths and byte arrays.
#ifndef TOLVANE_SAFE_FILE_H
#define TOLVANE_SAFE_FILE_H

#include "file_writer.h"

#include <QByteArray>
#include <QString>

// The file system's bytes of a path (QFile::encodeName).
std::string file_path_bytes(const QString& path);

// The bytes of a byte array, for the writer.
inline std::string_view bytes_view(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Writes bytes to path through safe_file_writer; on failure the message
// says what failed ("No space left on device").
save_result write_file_safely(const QString& path, const QByteArray& bytes);

#endif
