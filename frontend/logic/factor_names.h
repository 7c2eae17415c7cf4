// SPDX-License-Identifier: Apache-2.0
// A subject factor as a user names it on the command line or in a script:
// by its short name in any case ("inspired_o2", "Inspired_O2"), by the
// catalogue's long name ("Inspired O2 percentage") or by its index in the
// catalogue ("16").
// An unknown name is answered with the nearest short names.
#ifndef TOLVANE_FACTOR_NAMES_H
#define TOLVANE_FACTOR_NAMES_H

#include <QString>
#include <QStringList>

struct factor_lookup {
    int index = -1;  // -1 when the text names no factor
    QString error;   // why not, e.g. unknown factor "inspired_02" (nearest: inspired_o2, ...)
};

// Resolves a factor given as a whole number 0..31, a short name or a long
// name, the names in any case.
factor_lookup find_factor(const QString& text);

// Up to three short names of factors closest to text by edit distance, the
// closest first; empty when none is near enough to be a likely typo.
QStringList nearest_factor_names(const QString& text);

// Levenshtein distance: the fewest single-character insertions, deletions
// and substitutions turning a into b.
int edit_distance(const QString& a, const QString& b);

#endif
