// SPDX-License-Identifier: Apache-2.0
#include "safe_file.h"

#include <QFileInfo>

QString output_path_for_messages(const QString& path)
{
    if (path == QLatin1String(standard_stream_path)) return QStringLiteral("standard output");
    return QFileInfo(path).absoluteFilePath();
}

safe_file_writer::safe_file_writer(const QString& path)
    : target_(output_path_for_messages(path)), file_(file_path_bytes(path))
{
}

save_result write_file_safely(const QString& path, const QByteArray& bytes)
{
    return write_file_safely(file_path_bytes(path), bytes_view(bytes));
}
