// SPDX-License-Identifier: Apache-2.0
#include "installed_data.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool holds_subject_files(const QString& folder)
{
    // The dialog's own filter: *.sbj in either case.
    return !QDir(folder).entryList({QStringLiteral("*.sbj"), QStringLiteral("*.SBJ")}, QDir::Files).isEmpty();
}

}  // namespace

QString installed_subjects_folder(const QString& program_folder)
{
    if (program_folder.isEmpty()) return {};
    const QString folder = QDir::cleanPath(program_folder + QStringLiteral("/../share/tolvane/subjects"));
    return QFileInfo(folder).isDir() ? folder : QString();
}

QString first_load_folder(const QString& working_folder, const QString& program_folder)
{
    if (holds_subject_files(working_folder)) return {};
    return installed_subjects_folder(program_folder);
}
