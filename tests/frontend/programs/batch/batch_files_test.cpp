// SPDX-License-Identifier: Apache-2.0
// tolvane-batch output files: --csv (minutes and script) and --report are
// complete or not written at all. A full disk (a file-size limit), /dev/full
// or a missing or unwritable folder gives a message naming the file and exit
// status 1, and leaves an existing file as it was; stderr carries no Qt noise.
#include "batch_program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct output_kind {
    const char* name;
    const char* option;
    bool script;
};

void PrintTo(const output_kind& kind, std::ostream* os) { *os << kind.name; }

const output_kind kinds[] = {
    {"CSV, minutes", "--csv", false},
    {"CSV, script", "--csv", true},
    {"report", "--report", false},
};

class BatchFiles : public ::testing::TestWithParam<output_kind> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(write_all(dir.filePath("s.txt"), "run until 3:00\n"));
    }
    QStringList arguments(const QString& target) const
    {
        QStringList a;
        if (GetParam().script)
            a << "--script" << dir.filePath("s.txt");
        else
            a << "--minutes"
              << "3";
        a << QString::fromLatin1(GetParam().option) << target;
        return a;
    }
    // Only the files the test made are left in the folder.
    void expect_no_leftovers(const QStringList& expected)
    {
        QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        files.sort();
        QStringList sorted = expected;
        sorted.sort();
        EXPECT_EQ(files, sorted);
    }
    QTemporaryDir dir;
};

TEST_P(BatchFiles, WrittenWholeWithAQuietStderr)
{
    const QString target = dir.filePath("out");
    ASSERT_TRUE(write_all(target, "old"));
    const batch_run_result r = run_batch_process(arguments(target));
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.err, QString()) << GetParam().name;
    const QByteArray written = read_all(target);
    EXPECT_TRUE(written.startsWith(GetParam().option == QLatin1String("--csv") ? "time_s," : "%PDF"));
    expect_no_leftovers({"out", "s.txt"});
}

TEST_P(BatchFiles, FullDiskKeepsTheOldFileAndFails)
{
    const QString target = dir.filePath("out");
    ASSERT_TRUE(write_all(target, "old contents"));
    // The script file and "old contents" are already on disk; the new
    // output is far larger than 2000 bytes.
    const batch_run_result r = run_batch_process(arguments(target), 2000);
    EXPECT_EQ(r.exit_code, 1) << GetParam().name;
    EXPECT_TRUE(r.err.startsWith("tolvane-batch: cannot write ")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(target)) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_EQ(read_all(target), "old contents");
    expect_no_leftovers({"out", "s.txt"});
}

TEST_P(BatchFiles, DevFullFails)
{
    const batch_run_result r = run_batch_process(arguments("/dev/full"));
    EXPECT_EQ(r.exit_code, 1) << GetParam().name;
    EXPECT_TRUE(r.err.contains("/dev/full")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("No space left on device")) << r.err.toStdString();
}

TEST_P(BatchFiles, MissingOrUnwritableFolderFails)
{
    const QString missing = dir.filePath("no/such/out");
    const batch_run_result r = run_batch_process(arguments(missing));
    EXPECT_EQ(r.exit_code, 1) << GetParam().name;
    EXPECT_TRUE(r.err.contains(missing)) << r.err.toStdString();
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    const QString locked = dir.filePath("locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    ASSERT_TRUE(write_all(locked + "/out", "old"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    const batch_run_result l = run_batch_process(arguments(locked + "/out"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(l.exit_code, 1);
    EXPECT_EQ(read_all(locked + "/out"), "old");
}

// A subject loaded by a script after rebreathing and a ventilator gives the
// CSV of the same subject loaded in a fresh process, byte for byte; so does
// a reset after the same runs.
TEST(BatchScriptRestart, LoadAfterRunsEqualsAFreshProcess)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_EQ(run_batch_process({"--set", "25=450", "--save", dir.filePath("alt.sbj")}).exit_code, 0);
    const QByteArray mess =
        "at 1:00 bag rebreathe volume 6000 o2 20.93 co2 0\n"
        "run until 6:00\n"
        "at 6:00 ventilation artificial rate 30 tidal 900\n"
        "at 6:00 bag glottis\n"
        "run until 7:00\n";
    ASSERT_TRUE(write_all(dir.filePath("load.txt"), mess + "at 7:00 load alt.sbj\nrun until 3:00\n"));
    ASSERT_TRUE(write_all(dir.filePath("reset.txt"), mess + "at 7:00 reset\nrun until 3:00\n"));
    const batch_run_result loaded =
        run_batch_process({"--script", dir.filePath("load.txt"), "--csv", dir.filePath("a.csv")});
    ASSERT_EQ(loaded.exit_code, 0) << loaded.err.toStdString();
    // The fresh process runs a script too, although both CSV writers now
    // write numbers alike.
    ASSERT_TRUE(write_all(dir.filePath("fresh_load.txt"), "at 0:00 load alt.sbj\nrun until 3:00\n"));
    ASSERT_TRUE(write_all(dir.filePath("fresh.txt"), "run until 3:00\n"));
    const batch_run_result fresh =
        run_batch_process({"--script", dir.filePath("fresh_load.txt"), "--csv", dir.filePath("b.csv")});
    ASSERT_EQ(fresh.exit_code, 0) << fresh.err.toStdString();
    EXPECT_EQ(read_all(dir.filePath("a.csv")), read_all(dir.filePath("b.csv")));
    EXPECT_EQ(read_all(dir.filePath("a.csv")).count('\n'), 1 + 181);

    const batch_run_result reset =
        run_batch_process({"--script", dir.filePath("reset.txt"), "--csv", dir.filePath("c.csv")});
    ASSERT_EQ(reset.exit_code, 0) << reset.err.toStdString();
    ASSERT_EQ(
        run_batch_process({"--script", dir.filePath("fresh.txt"), "--csv", dir.filePath("d.csv")}).exit_code,
        0);
    EXPECT_EQ(read_all(dir.filePath("c.csv")), read_all(dir.filePath("d.csv")));

    // A load that cannot read its file is a file error.
    ASSERT_TRUE(write_all(dir.filePath("missing.txt"), "at 0:00 load none.sbj\nrun until 1:00\n"));
    const batch_run_result missing = run_batch_process({"--script", dir.filePath("missing.txt")});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_TRUE(missing.err.contains("none.sbj")) << missing.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Outputs, BatchFiles, ::testing::ValuesIn(kinds),
                         [](const ::testing::TestParamInfo<output_kind>& info) {
                             return std::string(info.param.script             ? "csv_script"
                                                : info.param.option[2] == 'c' ? "csv_minutes"
                                                                              : "report");
                         });

}  // namespace
