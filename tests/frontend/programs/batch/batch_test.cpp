// SPDX-License-Identifier: Apache-2.0
// tolvane-batch end to end: the built program run with real arguments.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifndef TOLVANE_BATCH_PATH
#error "TOLVANE_BATCH_PATH must name the built tolvane-batch"
#endif

namespace {

struct batch_result {
    int exit_code = -1;
    QString out, err;
};

batch_result run_batch_program(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(TOLVANE_BATCH_PATH), arguments);
    batch_result result;
    if (!process.waitForFinished(120000)) return result;
    result.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QList<QByteArray> csv_lines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

TEST(Batch, HelpAndBadArguments)
{
    const batch_result help = run_batch_program({"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: tolvane-batch")) << help.out.toStdString();

    const QStringList bad[] = {
        {"--bogus"},
        {"--minutes"},
        {"--minutes", "-1"},
        {"--minutes", "2x"},
        {"--set", "32=1"},
        {"--set", "16"},
        {"--set", "16=abc"},
        {"--set", "x=1"},
        {"--minutes", "99999999"},
        {"--set", "inspired_oxygen=15"},
        {"--set", "=15"},
        {"--list", "everything"},
        {"--list=everything"},
        // --set reads numbers as strictly as a script's "set".
        {"--set", "work_rate=1,000"},
        {"--set", "work_rate=50W"},
        {"--set", "work_rate= 50"},
        {"--set", "work_rate=50 "},
        {"--set", "work_rate=0x10"},
        {"--set", "work_rate=inf"},
        {"--set", "work_rate=1e999"},
        {"--set", "work_rate=٥٠"},
        {"--digits", "0"},
        {"--digits", "18"},
        {"--digits", "9.5"},
        {"--minutes", "1", "--", "extra"},
    };
    for (const QStringList& arguments : bad) {
        const batch_result r = run_batch_program(arguments);
        EXPECT_EQ(r.exit_code, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("tolvane-batch: ")) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
}

TEST(Batch, NoArgumentsPrintsTheUsageAndFailsAndDashDashEndsTheOptions)
{
    const batch_result none = run_batch_program({});
    EXPECT_EQ(none.exit_code, 2);
    EXPECT_TRUE(none.out.isEmpty()) << none.out.toStdString();
    EXPECT_TRUE(none.err.startsWith("Usage: tolvane-batch ")) << none.err.toStdString();
    EXPECT_TRUE(none.err.endsWith("Try 'tolvane-batch --help' for more.\n")) << none.err.toStdString();

    const batch_result ended = run_batch_program({"--version", "--"});
    EXPECT_EQ(ended.exit_code, 0) << ended.err.toStdString();
    EXPECT_TRUE(ended.out.contains("Apache License, version 2.0")) << ended.out.toStdString();
}

TEST(Batch, UnreadableOrInvalidSubjectFails)
{
    QTemporaryDir dir;
    const batch_result missing = run_batch_program({"--subject", dir.filePath("none.sbj")});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_TRUE(missing.err.contains("cannot open subject file"));
    QFile bad(dir.filePath("bad.sbj"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("// #001\n1 2 3\n");
    bad.close();
    const batch_result invalid = run_batch_program({"--subject", dir.filePath("bad.sbj")});
    EXPECT_EQ(invalid.exit_code, 1);
    EXPECT_TRUE(invalid.err.contains("invalid subject file format"));
}

TEST(Batch, CsvHasOneRowPerSecondAndAUtf8Header)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath("run.csv");
    const batch_result r = run_batch_program({"--minutes", "3", "--csv", csv});
    ASSERT_EQ(r.exit_code, 0) << r.err.toStdString();
    const QList<QByteArray> lines = csv_lines(csv);
    ASSERT_EQ(lines.size(), 1 + 181);
    const QList<QByteArray> header = lines[0].split(',');
    EXPECT_EQ(header.size(), 65);
    EXPECT_EQ(header[0], "time_s");
    EXPECT_EQ(header[16], "Arterial O2 partial pressure (mm Hg)");
    EXPECT_TRUE(QString::fromUtf8(lines[0]).contains(QString::fromUtf8("‘fast’")));
    for (int t = 0; t <= 180; ++t) EXPECT_EQ(lines[1 + t].split(',')[0].toInt(), t);
    EXPECT_EQ(lines[1].split(',')[16], "93.18");  // the standard subject at time 0
}

TEST(Batch, RunsLongerThanTheHistoryRing)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath("long.csv");
    const batch_result r = run_batch_program({"--minutes", "35", "--csv", csv});
    ASSERT_EQ(r.exit_code, 0) << r.err.toStdString();
    const QList<QByteArray> lines = csv_lines(csv);
    ASSERT_EQ(lines.size(), 1 + 35 * 60 + 1);
    EXPECT_EQ(lines[1].split(',')[16], "93.18");
    EXPECT_EQ(lines.last().split(',')[0], "2100");
}

TEST(Batch, ClampsSettingsAndReportsDeathWithItsTime)
{
    const batch_result r = run_batch_program({"--set", "16=-4", "--minutes", "30"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_TRUE(r.err.contains("warning: factor 16")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("set to 0.00"));
    EXPECT_TRUE(r.out.contains("I'm sorry, your patient has died.")) << r.out.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.last().endsWith(" the subject died")) << lines.last().toStdString();
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d ").match(lines.last()).hasMatch());
}

TEST(Batch, SavedSubjectRunsLikeTheStandardOne)
{
    QTemporaryDir dir;
    const QString sbj = dir.filePath("start.sbj");
    ASSERT_EQ(run_batch_program({"--save", sbj}).exit_code, 0);
    const batch_result a = run_batch_program({"--minutes", "2", "--csv", dir.filePath("a.csv")});
    const batch_result b =
        run_batch_program({"--subject", sbj, "--minutes", "2", "--csv", dir.filePath("b.csv")});
    ASSERT_EQ(a.exit_code, 0);
    ASSERT_EQ(b.exit_code, 0) << b.err.toStdString();
    EXPECT_EQ(csv_lines(dir.filePath("a.csv")), csv_lines(dir.filePath("b.csv")));
    // Saving into a missing directory is a file error.
    EXPECT_EQ(run_batch_program({"--save", dir.filePath("no/x.sbj")}).exit_code, 1);
}

// --list: four columns (index, short name, unit, limits with the standard
// value), every factor and every display variable but "No display".
TEST(Batch, ListShowsTheCatalogueByShortName)
{
    const batch_result all = run_batch_program({"--list"});
    ASSERT_EQ(all.exit_code, 0) << all.err.toStdString();
    // index, short name, unit, "MIN to MAX (standard VALUE)"
    const QRegularExpression row(
        "^ +(\\d+)  ([a-z0-9_]+) +(\\S.*?) +(-?[\\d.]+ to -?[\\d.]+ \\(standard -?[\\d.e+-]+\\))$");
    QStringList names;
    for (const QString& line : all.out.split('\n')) {
        const QRegularExpressionMatch m = row.match(line);
        if (m.hasMatch()) names << m.captured(2);
    }
    EXPECT_EQ(names.size(), 32 + 64) << all.out.toStdString();
    EXPECT_TRUE(
        all.out.contains(QRegularExpression("\n +16  inspired_o2 +% +0 to 100 \\(standard 20.93\\)\n")));
    EXPECT_TRUE(all.out.contains(
        QRegularExpression("\n +25  barometric_pressure +mm Hg +50 to 3800 \\(standard 760\\)\n")));
    EXPECT_TRUE(all.out.contains(QRegularExpression("\n +15  arterial_po2 +mm Hg +0 to 150 \\(standard 93")));
    EXPECT_FALSE(all.out.contains("no_display"));

    const batch_result factors = run_batch_program({"--list", "factors"});
    const batch_result displays = run_batch_program({"--list=displays"});
    ASSERT_EQ(factors.exit_code, 0);
    ASSERT_EQ(displays.exit_code, 0);
    EXPECT_TRUE(factors.out.contains(" work_rate ") && !factors.out.contains(" heart_rate "));
    EXPECT_TRUE(displays.out.contains(" heart_rate ") && !displays.out.contains(" work_rate "));
    EXPECT_EQ(factors.out + "\n" + displays.out, all.out);
}

// --set by short name does exactly what --set by index does; the CSV header
// keeps the catalogue names.
TEST(Batch, SetTakesShortNamesAndIndicesAlike)
{
    QTemporaryDir dir;
    const batch_result by_name = run_batch_program(
        {"--set", "inspired_o2=15", "--set=work_rate=50", "--minutes", "2", "--csv", dir.filePath("n.csv")});
    const batch_result by_index = run_batch_program(
        {"--set", "16=15", "--set=31=50", "--minutes", "2", "--csv", dir.filePath("i.csv")});
    ASSERT_EQ(by_name.exit_code, 0) << by_name.err.toStdString();
    ASSERT_EQ(by_index.exit_code, 0) << by_index.err.toStdString();
    const QList<QByteArray> named = csv_lines(dir.filePath("n.csv"));
    ASSERT_EQ(named.size(), 1 + 121);
    EXPECT_EQ(named, csv_lines(dir.filePath("i.csv")));
    EXPECT_EQ(named[0].split(',')[16], "Arterial O2 partial pressure (mm Hg)");
    // ... and the settings acted: the standard subject ends elsewhere.
    ASSERT_EQ(run_batch_program({"--minutes", "2", "--csv", dir.filePath("s.csv")}).exit_code, 0);
    EXPECT_NE(named[121], csv_lines(dir.filePath("s.csv")).value(121));

    const batch_result clamped = run_batch_program({"--set", "inspired_o2=-4"});
    EXPECT_TRUE(clamped.err.contains("warning: factor 16")) << clamped.err.toStdString();

    // Short names in any case, and the catalogue's long name, name the same factor.
    for (const char* name : {"Inspired_O2", "INSPIRED_O2", "Inspired O2 percentage"}) {
        const QString csv = dir.filePath(QStringLiteral("%1.csv").arg(QString::fromLatin1(name)));
        const batch_result other =
            run_batch_program({"--set", QStringLiteral("%1=15").arg(QString::fromLatin1(name)), "--set=31=50",
                               "--minutes", "2", "--csv", csv});
        ASSERT_EQ(other.exit_code, 0) << name << ": " << other.err.toStdString();
        EXPECT_EQ(csv_lines(csv), named) << name;
    }

    const batch_result typo = run_batch_program({"--set", "haemoglobn=7"});
    EXPECT_EQ(typo.exit_code, 2);
    EXPECT_TRUE(typo.err.contains("unknown factor \"haemoglobn\" (nearest: haemoglobin"))
        << typo.err.toStdString();
}

// A hand-edited weight of 0 is held at its limit with one warning per value;
// the run and the saved subject hold numbers, not "nan".
TEST(Batch, SubjectValuesOutsideTheirLimitsAreClampedWithAWarning)
{
    QTemporaryDir dir;
    const QString sbj = dir.filePath("start.sbj"), saved = dir.filePath("after.sbj");
    ASSERT_EQ(run_batch_program({"--save", sbj}).exit_code, 0);
    QFile file(sbj);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray text = file.readAll();
    ASSERT_TRUE(text.contains("    178.0  70.0  40.0  1"));
    text.replace("    178.0  70.0  40.0  1", "    178.0   0.0 140.0  1");
    file.resize(0);
    file.write(text);
    file.close();
    const batch_result r = run_batch_program({"--subject", sbj, "--minutes", "3", "--save", saved});
    EXPECT_EQ(r.exit_code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(": weight 0.00 set to 20.00\n")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(": age 140.00 set to 100.00\n")) << r.err.toStdString();
    EXPECT_EQ(r.err.count(QStringLiteral("warning")), 2);
    QFile after(saved);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_FALSE(after.readAll().contains("nan"));
}

}  // namespace
