// SPDX-License-Identifier: Apache-2.0
// tolvane-batch: the simulator without windows. Parses the command line into
// batch_options, then hands them to run_batch.
#include "batch_options.h"
#include "batch_run.h"
#include "catalogue_listing.h"
#include "console_ui.h"
#include "file_names.h"
#include "manual_text.h"
#include "result_text.h"
#include "safe_file.h"
#include "report_pdf.h"
#include "report_source.h"
#include "simulator.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// True when the command line asks for the report, which is drawn with fonts
// and so needs a GUI application (on the offscreen platform: no display).
bool wants_report(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--report", 8) == 0) return true;
    return false;
}

// Qt's own warnings ("XDG_RUNTIME_DIR not set", painter complaints) say
// nothing a user of the program can act on; the program reports its own
// failures with what failed and where. Only Qt's critical and fatal
// messages still reach stderr.
void quiet_qt_messages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtCriticalMsg && type != QtFatalMsg) return;
    std::fprintf(stderr, "tolvane-batch: %s\n", message.toLocal8Bit().constData());
}

// True when an output file is standard output: the program's own lines then
// go to standard error.
bool writes_standard_output(const batch_options& options)
{
    for (const std::optional<QString>& path : {options.csv_path, options.save_path, options.report_path})
        if (path && *path == QLatin1String(standard_stream_path)) return true;
    return false;
}

int run_program(int argc, char** argv)
{
    qInstallMessageHandler(quiet_qt_messages);
    remove_temporary_files_on_interruption();
    std::unique_ptr<QCoreApplication> app;
    if (wants_report(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // Nothing asked: the usage, as for a wrong call.
    if (argc <= 1) {
        std::fputs(short_usage_text(batch_manual()).c_str(), stderr);
        return batch_bad_arguments;
    }
    // The arguments left after Qt took its own, file names byte for byte.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << file_name_from_bytes(QByteArray(argv[i]));
    const batch_parse_result parsed = parse_batch_arguments(arguments);
    if (!parsed.error.isEmpty()) {
        print(stderr, QStringLiteral("tolvane-batch: %1 (try --help)\n").arg(parsed.error));
        return batch_bad_arguments;
    }
    if (parsed.options.help) {
        print(stdout, batch_usage());
        return batch_ok;
    }
    if (parsed.options.version) {
        print(stdout, QString::fromStdString(version_text(batch_manual())));
        return batch_ok;
    }
    if (parsed.options.list != catalogue_list::none) {
        print(stdout, catalogue_listing(parsed.options.list));
        return batch_ok;
    }
    std::FILE* const out = writes_standard_output(parsed.options) ? stderr : stdout;
    console_ui ui(out, stderr);
    simulator sim(ui);
    sim.start();
    const int status = run_batch(sim, parsed.options, out, stderr);
    // A run that could not go as asked writes no report either.
    if (parsed.options.report_path && status != batch_file_error && status != batch_bad_arguments) {
        const save_result written = write_report_pdf(
            *parsed.options.report_path, report_input_from(sim, ui.clinical_text(), subject_date_time_now()));
        if (!written.ok()) {
            print(stderr, QStringLiteral("tolvane-batch: %1\n").arg(message_text(written)));
            return batch_file_error;
        }
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) { return standard_output_status(run_program(argc, argv)); }
