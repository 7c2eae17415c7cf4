#include "safe_file.h"

#include <QFile>

std::string file_path_bytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

save_result write_file_safely(const QString& path, const QByteArray& bytes)
{
    return write_file_safely(file_path_bytes(path), bytes_view(bytes));
}
