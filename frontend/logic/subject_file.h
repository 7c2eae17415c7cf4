// The subject file (subject_io.h) for Qt paths and texts, and the date the
// window writes into its header.
#ifndef TOLVANE_SUBJECT_FILE_H
#define TOLVANE_SUBJECT_FILE_H

#include "panel_logic.h"
#include "safe_file.h"
#include "subject_io.h"

#include <QByteArray>
#include <QString>

// subject_text for a Qt path and date.
QByteArray subject_text(const QString& path, const QString& date_time, const panel_selection& selection,
                        bool si_pressure);

// The date and time as the header shows it: the system locale's short form.
QString subject_date_time_now();

// write_subject_file for a Qt path.
save_result write_subject_file(const QString& path, const QByteArray& text);

// read_subject_file of a Qt path.
subject_read_result read_subject_file(const QString& path);

// read_subject_text of a byte array.
subject_read_result read_subject_text(const QByteArray& text);

#endif
