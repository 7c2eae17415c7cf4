// SPDX-License-Identifier: Apache-2.0
// Where an installed Tolvane keeps its data (teaching subjects), found from
// the program's own folder: <prefix>/bin/tolvane beside
// <prefix>/share/tolvane/subjects, whatever the prefix (/usr from the
// package, /usr/local or a moved tree from cmake --install).
#ifndef TOLVANE_INSTALLED_DATA_H
#define TOLVANE_INSTALLED_DATA_H

#include <QString>

// <program folder>/../share/tolvane/subjects when that folder exists, else
// empty (a build tree, or data not installed).
QString installed_subjects_folder(const QString& program_folder);

// The folder the Load dialog opens in the first time: empty, meaning the
// working folder, when that holds subject files of the user's own (or no
// teaching subjects are installed); else the installed teaching subjects.
QString first_load_folder(const QString& working_folder, const QString& program_folder);

#endif
