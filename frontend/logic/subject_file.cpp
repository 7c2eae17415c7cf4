#include "subject_file.h"

#include <QDateTime>
#include <QLocale>

QByteArray subject_text(const QString& path, const QString& date_time, const panel_selection& selection,
                        bool si_pressure)
{
    return QByteArray::fromStdString(
        subject_text(file_path_bytes(path), date_time.toUtf8().toStdString(), selection, si_pressure));
}

QString subject_date_time_now()
{
    return QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
}

save_result write_subject_file(const QString& path, const QByteArray& text)
{
    return write_subject_file(file_path_bytes(path), bytes_view(text));
}

subject_read_result read_subject_file(const QString& path)
{
    return read_subject_file(file_path_bytes(path));
}

subject_read_result read_subject_text(const QByteArray& text) { return read_subject_text(bytes_view(text)); }
