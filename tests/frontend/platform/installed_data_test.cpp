// SPDX-License-Identifier: Apache-2.0
// The Load dialog's first folder: the user's own subject files win, then the
// installed teaching subjects found from the program's folder.
#include "installed_data.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

// prefix/bin and prefix/share/tolvane/subjects, as the package installs them.
struct installed_tree {
    QTemporaryDir root;
    QString bin = root.filePath("usr/bin");
    QString subjects = root.filePath("usr/share/tolvane/subjects");
    QString work = root.filePath("home/student");
    installed_tree()
    {
        QDir().mkpath(bin);
        QDir().mkpath(subjects);
        QDir().mkpath(work);
    }
};

TEST(InstalledData, SubjectsFolderIsFoundBesideTheProgramFolder)
{
    installed_tree tree;
    EXPECT_EQ(installed_subjects_folder(tree.bin), tree.subjects);
    EXPECT_EQ(installed_subjects_folder(tree.bin + "/"), tree.subjects);
    EXPECT_EQ(installed_subjects_folder(tree.work), QString());  // no share/ beside it
    EXPECT_EQ(installed_subjects_folder(QString()), QString());
}

TEST(InstalledData, LoadStartsInTheTeachingSubjectsOnlyWithoutSubjectsOfTheUsersOwn)
{
    installed_tree tree;
    touch(tree.subjects + "/altitude_450mmHg.sbj");
    // Nothing of the user's own, or only other files: the teaching subjects.
    EXPECT_EQ(first_load_folder(tree.work, tree.bin), tree.subjects);
    touch(tree.work + "/notes.txt");
    QDir().mkpath(tree.work + "/folder.sbj");  // a folder is not a subject file
    EXPECT_EQ(first_load_folder(tree.work, tree.bin), tree.subjects);
    // A subject file of the user's own (either case): the working folder.
    touch(tree.work + "/MINE.SBJ");
    EXPECT_EQ(first_load_folder(tree.work, tree.bin), QString());
    QFile::remove(tree.work + "/MINE.SBJ");
    touch(tree.work + "/mine.sbj");
    EXPECT_EQ(first_load_folder(tree.work, tree.bin), QString());
    // Not installed (a build tree): the working folder.
    QFile::remove(tree.work + "/mine.sbj");
    EXPECT_EQ(first_load_folder(tree.work, tree.work), QString());
}

}  // namespace
