// Runs the built tolvane-batch with real arguments, optionally under a
// file-size limit (a full disk as the program sees it).
#ifndef TOLVANE_TESTS_BATCH_PROGRAM_H
#define TOLVANE_TESTS_BATCH_PROGRAM_H

#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>

#ifndef TOLVANE_BATCH_PATH
#error "TOLVANE_BATCH_PATH must name the built tolvane-batch"
#endif

struct batch_run_result {
    int exit_code = -1;  // -2 after a crash, -1 when it did not finish
    QString out, err;
};

// file_size_limit > 0: writes beyond that many bytes fail (SIGXFSZ ignored).
inline batch_run_result run_batch_process(const QStringList& arguments, long file_size_limit = 0,
                                          const QString& working_directory = {})
{
    QProcess process;
    // Without XDG_RUNTIME_DIR Qt's offscreen platform complains; the
    // program must stay quiet all the same.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(environment);
    if (!working_directory.isEmpty()) process.setWorkingDirectory(working_directory);
    if (file_size_limit > 0)
        process.setChildProcessModifier([file_size_limit] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = static_cast<rlim_t>(file_size_limit);
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    process.start(QStringLiteral(TOLVANE_BATCH_PATH), arguments);
    batch_run_result result;
    if (!process.waitForFinished(300000)) return result;
    result.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

#endif
