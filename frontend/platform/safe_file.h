// SPDX-License-Identifier: Apache-2.0
// The safe file writer (file_writer.h) for Qt paths and byte arrays: a file
// ends up either complete or untouched. Used for subject files, CSV output
// and PDF reports.
#ifndef TOLVANE_SAFE_FILE_H
#define TOLVANE_SAFE_FILE_H

#include "file_names.h"
#include "file_writer.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <string_view>

// The file system's bytes of a path (file_name_bytes) as the writer and
// the session's readers take them.
inline std::string file_path_bytes(const QString& path) { return file_name_bytes(path).toStdString(); }

// How messages name an output path: its absolute path as given, or
// "standard output" for "-".
QString output_path_for_messages(const QString& path);

// The bytes of a byte array, for the writer.
inline std::string_view bytes_view(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

class safe_file_writer {
public:
    // file_writer on the file system's bytes of path.
    explicit safe_file_writer(const QString& path);

    bool opened() const { return file_.opened(); }
    bool ok() const { return file_.ok(); }
    bool write(const char* bytes, std::size_t size) { return file_.write(bytes, size); }
    bool write(const QByteArray& bytes) { return file_.write(bytes_view(bytes)); }
    bool restart() { return file_.restart(); }
    bool commit() { return file_.commit(); }
    // The target for messages (output_path_for_messages).
    const QString& target() const { return target_; }
    // What failed, e.g. "No space left on device"; empty while all is well.
    QString error() const { return QString::fromLocal8Bit(file_.error()); }

private:
    QString target_;
    file_writer file_;
};

// Writes bytes to path through safe_file_writer; on failure the message
// says what failed ("No space left on device").
save_result write_file_safely(const QString& path, const QByteArray& bytes);

#endif
