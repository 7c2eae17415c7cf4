// Factor names (factor_lookup.h) for Qt strings: the command line's and the
// scripts' way to name a subject factor.
#ifndef TOLVANE_FACTOR_NAMES_H
#define TOLVANE_FACTOR_NAMES_H

#include <QString>
#include <QStringList>

struct qt_factor_lookup {
    int index = -1;  // -1 when the text names no factor
    QString error;   // why not, e.g. unknown factor "inspired_02" (nearest: inspired_o2, ...)
};

// find_factor of a Qt string.
qt_factor_lookup find_factor(const QString& text);

// nearest_factor_names of a Qt string.
QStringList nearest_factor_names(const QString& text);

// edit_distance of two Qt strings (their UTF-8 bytes).
int edit_distance(const QString& a, const QString& b);

#endif
