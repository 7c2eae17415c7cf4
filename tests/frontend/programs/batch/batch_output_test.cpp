// SPDX-License-Identifier: Apache-2.0
// tolvane-batch output that never lies and never destroys, and input taken
// safely: "-" and pipes, a script that fails its check, read-only files and
// links, interruptions, a failing standard output, --save after a failed
// step, one CSV number style with --digits, terminal control characters and
// an endless script.
#include "batch_program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class BatchOutput : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // The folder holds exactly these files (hidden temporary files count).
    void expect_only(QStringList expected) const
    {
        QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        files.sort();
        expected.sort();
        EXPECT_EQ(files, expected);
    }
    QTemporaryDir dir;
};

// "-" is standard output for --csv, --save and --report and standard input
// for --script and --subject; /dev/stdout (a pipe here) is written directly.
// The program's own lines then go to standard error.
TEST_F(BatchOutput, DashAndPipesCarryTheOutput)
{
    for (const char* target : {"-", "/dev/stdout"}) {
        const batch_run_result r = run_batch_process({"--minutes", "1", "--csv", target});
        ASSERT_EQ(r.exit_code, 0) << target << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith("time_s,")) << target;
        EXPECT_EQ(r.out.count('\n'), 1 + 61) << target;
    }
    const batch_run_result pdf = run_batch_process({"--minutes", "1", "--report", "-"});
    ASSERT_EQ(pdf.exit_code, 0) << pdf.err.toStdString();
    EXPECT_TRUE(pdf.out_bytes.startsWith("%PDF"));
    const batch_run_result saved = run_batch_process({"--set", "inspired_o2=15", "--save", "-"});
    ASSERT_EQ(saved.exit_code, 0) << saved.err.toStdString();

    // The saved subject read back from standard input, and a script too.
    batch_process_options subject_in;
    subject_in.input = saved.out_bytes;
    const batch_run_result loaded =
        run_batch_process({"--subject", "-", "--minutes", "1", "--csv", path("a.csv")}, subject_in);
    ASSERT_EQ(loaded.exit_code, 0) << loaded.err.toStdString();
    ASSERT_EQ(
        run_batch_process({"--set", "inspired_o2=15", "--minutes", "1", "--csv", path("b.csv")}).exit_code,
        0);
    EXPECT_EQ(read_all(path("a.csv")), read_all(path("b.csv")));

    batch_process_options script_in;
    script_in.input = "at 0:00 set inspired_o2 15\nrun until 1:00\n";
    const batch_run_result scripted = run_batch_process({"--script", "-", "--csv", "-"}, script_in);
    ASSERT_EQ(scripted.exit_code, 0) << scripted.err.toStdString();
    EXPECT_EQ(scripted.out_bytes, read_all(path("b.csv")));
    EXPECT_TRUE(scripted.err.contains("factor 16")) << scripted.err.toStdString();

    const batch_run_result two = run_batch_process({"--csv", "-", "--report", "-"});
    EXPECT_EQ(two.exit_code, 2);
    EXPECT_TRUE(two.err.contains("standard output")) << two.err.toStdString();
}

// A script that fails its check (a file "load" cannot read, bag
// percentages over 100 % on two lines) runs nothing and leaves the CSV.
TEST_F(BatchOutput, FailedScriptLeavesAnExistingCsv)
{
    ASSERT_TRUE(write_all(path("out.csv"), "old"));
    ASSERT_TRUE(write_all(path("load.txt"), "run until 2:00\nat 2:00 load none.sbj\nrun until 3:00\n"));
    ASSERT_TRUE(write_all(path("bag.txt"),
                          "at 1:00 bag 12 co2 20 o2 70\nrun until 20:00\n"
                          "at 20:00 bag 13 o2 90\nrun until 21:00\n"));
    const batch_run_result load = run_batch_process({"--script", path("load.txt"), "--csv", path("out.csv")});
    EXPECT_EQ(load.exit_code, 1);
    EXPECT_TRUE(load.err.contains("load.txt:2: cannot load the subject file")) << load.err.toStdString();
    const batch_run_result bag = run_batch_process({"--script", path("bag.txt"), "--csv", path("out.csv")});
    EXPECT_EQ(bag.exit_code, 2);
    EXPECT_TRUE(bag.err.contains("bag.txt:3: the respiration dialog would refuse OK"))
        << bag.err.toStdString();
    EXPECT_TRUE(bag.out.isEmpty()) << "nothing ran: " << bag.out.toStdString();
    EXPECT_EQ(read_all(path("out.csv")), "old");
    expect_only({"out.csv", "load.txt", "bag.txt"});
}

// A read-only CSV or PDF is refused and kept; a symbolic link is written
// through (also a link to a file not yet there) and stays a link.
TEST_F(BatchOutput, ReadOnlyFilesAreRefusedAndLinksWrittenThrough)
{
    for (const char* option : {"--csv", "--report", "--save"}) {
        ASSERT_TRUE(write_all(path("locked"), "old"));
        ASSERT_TRUE(QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ReadGroup));
        const batch_run_result r = run_batch_process({"--minutes", "1", option, path("locked")});
        EXPECT_EQ(r.exit_code, 1) << option;
        EXPECT_TRUE(r.err.contains(path("locked")) && r.err.contains("Permission denied"))
            << option << ": " << r.err.toStdString();
        EXPECT_EQ(read_all(path("locked")), "old") << option;
        QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(path("locked"));
    }
    ASSERT_TRUE(write_all(path("target.csv"), "old"));
    ASSERT_TRUE(QFile::link(path("target.csv"), path("link.csv")));
    ASSERT_TRUE(QFile::link(path("later.csv"), path("dangling.csv")));
    for (const char* link : {"link.csv", "dangling.csv"})
        ASSERT_EQ(run_batch_process({"--minutes", "1", "--csv", path(link)}).exit_code, 0) << link;
    EXPECT_TRUE(QFileInfo(path("link.csv")).isSymLink());
    EXPECT_TRUE(QFileInfo(path("dangling.csv")).isSymLink());
    EXPECT_TRUE(read_all(path("target.csv")).startsWith("time_s,"));
    EXPECT_TRUE(read_all(path("later.csv")).startsWith("time_s,"));
    expect_only({"target.csv", "link.csv", "later.csv", "dangling.csv"});
}

// Ctrl-C and SIGTERM remove the hidden temporary file and keep the old
// file; so does a file-size limit that would raise SIGXFSZ.
TEST_F(BatchOutput, InterruptionsLeaveNoTemporaryFile)
{
    for (const int signal_number : {SIGINT, SIGTERM}) {
        ASSERT_TRUE(write_all(path("out.csv"), "old"));
        QProcess process;
        process.start(QStringLiteral(TOLVANE_BATCH_PATH), {"--minutes", "1000000", "--csv", path("out.csv")});
        ASSERT_TRUE(process.waitForStarted());
        // Until the temporary file holds some rows.
        bool writing = false;
        for (int wait = 0; wait < 200 && !writing; ++wait) {
            QThread::msleep(25);
            for (const QFileInfo& file : QDir(dir.path()).entryInfoList(QDir::Files | QDir::Hidden))
                writing = writing || (file.fileName().startsWith(".out.csv.") && file.size() > 100000);
        }
        ASSERT_TRUE(writing);
        ::kill(static_cast<pid_t>(process.processId()), signal_number);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit) << signal_number;
        EXPECT_EQ(read_all(path("out.csv")), "old");
        expect_only({"out.csv"});
    }
    batch_process_options limited;
    limited.file_size_limit = 100000;
    limited.size_signal = true;
    const batch_run_result r = run_batch_process({"--minutes", "10", "--csv", path("out.csv")}, limited);
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_TRUE(r.err.contains("File too large")) << r.err.toStdString();
    EXPECT_EQ(read_all(path("out.csv")), "old");
    expect_only({"out.csv"});
}

// A failed write to standard output (a full disk, a closed pipe) is an
// error with a message, also when the CSV goes there.
TEST_F(BatchOutput, FailedStandardOutputIsAnError)
{
    batch_process_options full;
    full.output_file = QStringLiteral("/dev/full");
    const batch_run_result list = run_batch_process({"--list"}, full);
    EXPECT_EQ(list.exit_code, 1);
    EXPECT_EQ(list.err, "tolvane-batch: cannot write to standard output: No space left on device\n");
    const batch_run_result csv = run_batch_process({"--minutes", "2", "--csv", "-"}, full);
    EXPECT_EQ(csv.exit_code, 1);
    EXPECT_TRUE(csv.err.contains("standard output: No space left on device")) << csv.err.toStdString();

    // A reader that stops early: the writer's status comes out of the pipe.
    QProcess shell;
    shell.start(QStringLiteral("/bin/bash"),
                {"-c", QStringLiteral("'%1' --minutes 60 --csv - | head -c 10 >/dev/null; "
                                      "echo \"status ${PIPESTATUS[0]}\"")
                           .arg(QStringLiteral(TOLVANE_BATCH_PATH))});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.readAllStandardOutput(), "status 1\n");
    EXPECT_TRUE(shell.readAllStandardError().contains("standard output: Broken pipe"));
}

// After a failed model step --save says that it did not save, for
// --minutes and for a script alike.
TEST_F(BatchOutput, SaveAfterAFailedStepSaysItDidNotSave)
{
    ASSERT_TRUE(write_all(path("s.txt"), "at 0:00 set left_to_right_shunt 5\nrun until 5:00\n"));
    const QStringList runs[] = {
        {"--set", "left_to_right_shunt=5", "--minutes", "5", "--save", path("x.sbj")},
        {"--script", path("s.txt"), "--save", path("x.sbj")},
    };
    for (const QStringList& arguments : runs) {
        const batch_run_result r = run_batch_process(arguments);
        EXPECT_EQ(r.exit_code, 3) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("the subject was not saved to " + path("x.sbj"))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("x.sbj")));
    }
}

// --minutes and --script write the same run byte for byte (one number
// style, also on rounding ties over a long run); --digits 9 gives texts that
// read back as floats and are the 9-digit texts of those floats.
TEST_F(BatchOutput, OneCsvNumberStyleAndFullPrecision)
{
    ASSERT_TRUE(write_all(path("s.txt"), "run until 300:00\n"));
    ASSERT_EQ(run_batch_process({"--minutes", "300", "--csv", path("m.csv")}).exit_code, 0);
    ASSERT_EQ(run_batch_process({"--script", path("s.txt"), "--csv", path("s.csv")}).exit_code, 0);
    const QByteArray minutes = read_all(path("m.csv"));
    EXPECT_EQ(minutes.count('\n'), 1 + 300 * 60 + 1);
    EXPECT_TRUE(minutes == read_all(path("s.csv")));

    ASSERT_EQ(run_batch_process({"--minutes", "2", "--digits", "9", "--csv", path("d.csv")}).exit_code, 0);
    const QList<QByteArray> lines = read_all(path("d.csv")).split('\n');
    ASSERT_GT(lines.size(), 100);
    int longer = 0;
    for (qsizetype i = 1; i < lines.size(); ++i)
        for (const QByteArray& field : lines[i].split(',')) {
            if (field.isEmpty()) continue;
            const float value = std::strtof(field.constData(), nullptr);
            char text[40];
            std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
            ASSERT_EQ(field, QByteArray(text));
            if (field.size() > 9) ++longer;
        }
    EXPECT_GT(longer, 1000);  // the digits beyond 7 are there
}

// File names that are not UTF-8 are written and read under their own bytes.
TEST_F(BatchOutput, FileNamesThatAreNotUtf8KeepTheirBytes)
{
    QProcess shell;
    shell.setWorkingDirectory(dir.path());
    shell.start(
        QStringLiteral("/bin/bash"),
        {"-c", QStringLiteral("b='%1'; \"$b\" --minutes 1 --csv $'caf\\xe9.csv' --save $'s\\xff.sbj' && "
                              "\"$b\" --subject $'s\\xff.sbj' --minutes 0 --report $'r\\xe9\\x80.pdf'")
                   .arg(QStringLiteral(TOLVANE_BATCH_PATH))});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path().toStdString()))
        names.push_back(entry.path().filename().native());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"caf\xe9.csv", "r\xe9\x80.pdf", "s\xff.sbj"}));
}

// Control characters in names and messages are shown escaped on a terminal;
// a script larger than 1 MB (or endless) is refused.
TEST_F(BatchOutput, TerminalsSeeNoControlCharactersAndScriptsHaveALimit)
{
    const QString crafted = path("\x1b]0;owned\x07\x1b[2J.sbj");
    QProcess terminal;
    terminal.start(
        QStringLiteral("script"),
        {"-qec", QStringLiteral("'%1' --subject '%2'").arg(QStringLiteral(TOLVANE_BATCH_PATH), crafted),
         "/dev/null"});
    ASSERT_TRUE(terminal.waitForFinished(30000));
    const QByteArray shown = terminal.readAllStandardOutput();
    EXPECT_TRUE(shown.contains("\\x1b]0;owned\\x07\\x1b[2J.sbj")) << shown.toStdString();
    EXPECT_FALSE(shown.contains('\x1b') || shown.contains('\x07')) << shown.toStdString();

    const batch_run_result endless = run_batch_process({"--script", "/dev/zero"});
    EXPECT_EQ(endless.exit_code, 1);
    EXPECT_EQ(endless.err, "tolvane-batch: /dev/zero: the script is larger than 1 MB\n");
}

}  // namespace
