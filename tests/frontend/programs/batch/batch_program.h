// SPDX-License-Identifier: Apache-2.0
// Runs the built tolvane-batch with real arguments, optionally under a
// file-size limit (a full disk as the program sees it), with standard input
// or output redirected; and reads and writes the files its tests use.
#ifndef TOLVANE_TESTS_BATCH_PROGRAM_H
#define TOLVANE_TESTS_BATCH_PROGRAM_H

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>

#ifndef TOLVANE_BATCH_PATH
#error "TOLVANE_BATCH_PATH must name the built tolvane-batch"
#endif

// A whole file's bytes (empty when it cannot be read).
inline QByteArray read_all(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces a file's contents; false when that failed.
inline bool write_all(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

struct batch_run_result {
    int exit_code = -1;  // -2 after a crash, -1 when it did not finish
    QString out, err;
    QByteArray out_bytes;  // standard output as written (a PDF is not text)
};

// file_size_limit > 0: writes beyond that many bytes fail (SIGXFSZ ignored,
// unless size_signal says to leave it as a shell leaves it). input goes to
// standard input; output_file, when given, takes standard output.
struct batch_process_options {
    long file_size_limit = 0;
    bool size_signal = false;
    QByteArray input;
    QString output_file;
};

inline batch_run_result run_batch_process(const QStringList& arguments, const batch_process_options& how,
                                          const QString& working_directory = {})
{
    QProcess process;
    // Without XDG_RUNTIME_DIR Qt's offscreen platform complains; the
    // program must stay quiet all the same.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(environment);
    if (!working_directory.isEmpty()) process.setWorkingDirectory(working_directory);
    if (!how.output_file.isEmpty()) process.setStandardOutputFile(how.output_file);
    const long file_size_limit = how.file_size_limit;
    const bool size_signal = how.size_signal;
    if (file_size_limit > 0)
        process.setChildProcessModifier([file_size_limit, size_signal] {
            std::signal(SIGXFSZ, size_signal ? SIG_DFL : SIG_IGN);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = static_cast<rlim_t>(file_size_limit);
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    process.start(QStringLiteral(TOLVANE_BATCH_PATH), arguments);
    if (!how.input.isEmpty()) process.write(how.input);
    process.closeWriteChannel();
    batch_run_result result;
    if (!process.waitForFinished(300000)) return result;
    result.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out_bytes = process.readAllStandardOutput();
    result.out = QString::fromUtf8(result.out_bytes);
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

inline batch_run_result run_batch_process(const QStringList& arguments, long file_size_limit = 0,
                                          const QString& working_directory = {})
{
    batch_process_options how;
    how.file_size_limit = file_size_limit;
    return run_batch_process(arguments, how, working_directory);
}

#endif
