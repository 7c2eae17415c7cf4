// tolvane-batch: the simulator without windows. Parses the command line into
// batch_options, then hands them to run_batch.
#include "batch_options.h"
#include "batch_run.h"
#include "catalogue_listing.h"
#include "console_ui.h"
#include "manual_text.h"
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

}  // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(quiet_qt_messages);
    std::unique_ptr<QCoreApplication> app;
    if (wants_report(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    // Nothing asked: the usage, as for a wrong call.
    if (app->arguments().size() <= 1) {
        std::fputs(short_usage_text(batch_manual()).c_str(), stderr);
        return batch_bad_arguments;
    }
    const batch_parse_result parsed = parse_batch_arguments(app->arguments().mid(1));
    if (!parsed.error.isEmpty()) {
        std::fprintf(stderr, "tolvane-batch: %s (try --help)\n", parsed.error.toUtf8().constData());
        return batch_bad_arguments;
    }
    if (parsed.options.help) {
        std::fputs(batch_usage().toUtf8().constData(), stdout);
        return batch_ok;
    }
    if (parsed.options.version) {
        std::fputs(version_text(batch_manual()).c_str(), stdout);
        return batch_ok;
    }
    if (parsed.options.list != catalogue_list::none) {
        std::fputs(catalogue_listing(parsed.options.list).toUtf8().constData(), stdout);
        return batch_ok;
    }
    console_ui ui(stdout, stderr);
    simulator sim(ui);
    sim.start();
    const int status = run_batch(sim, parsed.options, stdout, stderr);
    if (parsed.options.report_path && status != batch_file_error) {
        const save_result written = write_report_pdf(
            *parsed.options.report_path, report_input_from(sim, ui.clinical_text(), subject_date_time_now()));
        if (!written.ok()) {
            std::fprintf(stderr, "tolvane-batch: %s\n", written.message().c_str());
            return batch_file_error;
        }
    }
    return status;
}
